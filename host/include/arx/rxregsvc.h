// Registration services of modules: the dynamic linker and the system registry.
#pragma once

#include "rx.h"
