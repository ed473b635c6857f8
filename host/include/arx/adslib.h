// The whole C-style API in one include.
#pragma once

#include "aced.h"
#include "ads.h"
#include "ed.h"
