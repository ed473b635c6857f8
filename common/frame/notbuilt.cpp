#include "common/frame/notbuilt.h"

namespace zelframe {

void sayNotBuilt(const ACHAR* commandName) {
    acutPrintf(L"\n%s はまだ使用できません。", commandName);
}

} // namespace zelframe
