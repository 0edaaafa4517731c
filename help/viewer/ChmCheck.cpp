// quorbelix-chmcheck FILE: reads every object of a compiled help file, so that the help viewer
// learns whether chmlib can read it without crashing or stalling. chmlib trusts the numbers a
// file gives about its own layout, and some damaged files make it divide by zero or follow a
// null pointer: that happens here, in a process of its own, rather than in the game.
// Exit code 0: readable; anything else, or a signal: damaged.

#include "ChmArchive.h"

#include <chm_lib.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {

int readObject(chmFile* file, chmUnitInfo* unit, void* buffer) {
    if (unit->length <= static_cast<LONGUINT64>(htmlhelp::ChmArchive::MaxObjectSize)) {
        auto& bytes = *static_cast<std::vector<unsigned char>*>(buffer);
        bytes.resize(unit->length + 1);
        chm_retrieve_object(file, unit, bytes.data(), 0, static_cast<LONGINT64>(unit->length));
    }
    return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return EXIT_FAILURE;
    }
    chmFile* file = chm_open(argv[1]);
    if (file == nullptr) {
        return EXIT_FAILURE;
    }
    std::vector<unsigned char> buffer;
    chm_enumerate(file, CHM_ENUMERATE_ALL, readObject, &buffer);
    chm_close(file);
    // No exit handlers: the verdict is the reading alone.
    _exit(EXIT_SUCCESS);
}
