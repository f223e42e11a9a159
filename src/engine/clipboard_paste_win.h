#pragma once
// Inserts a long phrase by pasting it: typing a thousand characters as key records takes
// the target seconds (it handles them one by one), a paste takes it one step.
//
// The user's clipboard is saved first (every format, in order), the phrase is put on the
// clipboard marked so that the clipboard history, the cloud clipboard and clipboard
// managers leave it alone, Ctrl+V (and the Left presses of the phrase) are sent, and once
// the target has taken the text the user's clipboard is put back, unless something else
// has replaced the phrase on it meanwhile.
//
// The phrase is offered by delayed rendering, so the moment the target asks for it is
// known exactly: the request arrives at a message-only window of the calling thread, which
// pumps messages while it waits. The target's request must come within a ceiling; when it
// does not (a target that does not paste), the clipboard is put back all the same.
//
// Called on the engine's worker thread only.

#include <cstdint>
#include <string_view>

namespace vellix {

class KeyInjector;

struct PasteTimings {
  uint32_t openWaitMs = 150;    // how long the clipboard may be busy before we type instead
  uint32_t takeWaitMs = 2000;   // how long the target may take to ask for the text
  uint32_t closeWaitMs = 250;   // how long the target may keep the clipboard open to read
};

enum class PasteResult {
  kPasted,          // the target took the text; the user's clipboard is back
  kNotTaken,        // Ctrl+V went out but nobody asked for the text; the clipboard is back
  kClipboardBusy,   // nothing was sent: the clipboard could not be opened (type instead)
};

// Pastes text (then leftAfter Left presses) into the focused window.
PasteResult PasteText(std::u16string_view text, uint32_t leftAfter, KeyInjector& injector,
                      const PasteTimings& timings = {});

}  // namespace vellix
