// A stand-in for the help viewer, loaded by the tests as the program loads the real one: it
// reports each call of its entry points, and its own unloading, to the recorder the test gives it.

#include "HtmlHelpEntry.h"

extern "C" {

using HelpCallRecorder = void (*)(const char* entry, HelpWindowHandle caller, const char* file,
                                  std::uint32_t command, std::uintptr_t data);

namespace {
HelpCallRecorder recorder = nullptr;
}

__attribute__((visibility("default"))) void SetHelpCallRecorder(HelpCallRecorder record) {
    recorder = record;
}

__attribute__((visibility("default"))) HelpWindowHandle HtmlHelpA(HelpWindowHandle caller,
                                                                  const char* file,
                                                                  std::uint32_t command,
                                                                  std::uintptr_t data) {
    if (recorder != nullptr) {
        recorder("HtmlHelpA", caller, file, command, data);
    }
    return 0x51;
}

#ifndef WITHOUT_WIDE_ENTRY
__attribute__((visibility("default"))) HelpWindowHandle HtmlHelpW(HelpWindowHandle caller,
                                                                  const char16_t* /*file*/,
                                                                  std::uint32_t command,
                                                                  std::uintptr_t data) {
    if (recorder != nullptr) {
        recorder("HtmlHelpW", caller, nullptr, command, data);
    }
    return 0x57;
}
#endif

__attribute__((destructor)) static void reportUnloading() {
    if (recorder != nullptr) {
        recorder("unloaded", 0, nullptr, 0, 0);
    }
}

}  // extern "C"
