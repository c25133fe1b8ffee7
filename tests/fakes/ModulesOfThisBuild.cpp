// Test programs are built in folders of their own, apart from the program
// and the modules built beside it; this points every test program at that
// folder, so the modules under test are the ones of this build.
#include "host/Module.h"

namespace {

const bool kModulesOfThisBuild = [] {
    host::Module::searchAlsoIn(QStringLiteral(QVANTO_TEST_MODULE_DIR));
    return true;
}();

} // namespace
