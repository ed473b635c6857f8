// Command registration: the command stack and its flags.
#pragma once

#include "aced.h"
