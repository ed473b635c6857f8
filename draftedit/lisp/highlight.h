// Highlighting the members of a selection set for the selection functions.
#pragma once

#include "arx/ads.h"

namespace draftedit {

// Every member of the set highlighted (on) or not; false at the first member whose object
// cannot be found or opened, told as "\n<product>ｴﾗｰ: <function>() -> acdbGetObjectId()" (or
// "-> acdbOpenAcDbEntity()").
bool highlightSet(const ads_name ss, bool on, const ACHAR* function);

} // namespace draftedit
