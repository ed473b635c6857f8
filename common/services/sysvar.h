// System variables as the commands read and set them: integers (with a value for when the
// variable cannot be read), reals and texts; the setters answer the host's result code.
#pragma once

#include "arx/ads.h"

#include <string>

int IntVar(const ACHAR* name, int fallback = 0);
double RealVar(const ACHAR* name, double fallback = 0);
int SetShortVar(const ACHAR* name, int value);
int SetTextVar(const ACHAR* name, const std::wstring& value);
