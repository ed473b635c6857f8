// The drawing scale (DIMSCALE) and the named current scale of a document ("ZelCurSc"): scale
// texts such as 1/50, the special name "DwgScale", and the scale an object was drawn at (its
// "ZELOBJSC" extended data).
#pragma once

#include "arx/db.h"

#include <string>

// DIMSCALE when it can be read and is above 1e-8, else 1.
double DimScale();
// 0 not a scale, 1 a scale text (numerator and denominator set), 2 the drawing scale. An
// empty text stands for the current scale (1/1 when none is set).
int ParseScale(const ACHAR* text, double& numerator, double& denominator);
// The current scale relative to the drawing scale (1 for "DwgScale" and for no scale).
double ScaleRatio();
// The scale text of a ratio: 0.02 gives 1/50, 2 gives 2/1.
std::wstring FormatScale(double value);
// The ratio a scale text stands for ("DwgScale": 1 / DIMSCALE).
double ScaleFactorOf(const ACHAR* text);

// The document's current scale name into buffer (kept as it is when none is set).
void GetCurrentScaleName(std::wstring& buffer);
// The scale the object was drawn at ("DwgScale" when it carries none); false when it cannot
// be opened (told).
bool GetObjectScaleName(AcDbObjectId id, std::wstring& buffer);
// Makes the text the document's current scale and adds it to the dialog bar's list.
void SetCurrentScaleName(const ACHAR* text);
