#pragma once
// Turns an insertion into synthetic key records: Backspaces for the typed keystroke, the
// text as Unicode character records (Tab, CR and LF as virtual keys), then Left-arrow
// presses. Platform-free: the records go out through a KeyInjector, which the Windows
// build implements over SendInput and tests replace with a recorder.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vellix {

// Key-event flags and virtual keys of the records, as Windows defines them.
inline constexpr uint32_t kKeyEventKeyUp = 0x0002;
inline constexpr uint32_t kKeyEventUnicode = 0x0004;
inline constexpr uint16_t kVkBackspace = 0x08;
inline constexpr uint16_t kVkTab = 0x09;
inline constexpr uint16_t kVkLineFeed = 0x0A;  // reserved virtual key, sent for LF
inline constexpr uint16_t kVkReturn = 0x0D;
inline constexpr uint16_t kVkShift = 0x10;
inline constexpr uint16_t kVkControl = 0x11;
inline constexpr uint16_t kVkLeft = 0x25;
inline constexpr uint16_t kVkRight = 0x27;
// The time stamp of control-character records: the system does not stamp them itself.
inline constexpr uint32_t kControlKeyTime = 400;
inline constexpr uint32_t kBackspacePauseMs = 10;

inline constexpr uint32_t kKeyEventExtendedKey = 0x0001;

// One keyboard input record; members not set stay 0.
struct KeyRecord {
  uint16_t vk = 0;
  uint16_t scan = 0;
  uint32_t flags = 0;
  uint32_t time = 0;
  uint32_t extraInfo = 0;  // the record's dwExtraInfo: marks keys replayed for the user

  friend bool operator==(const KeyRecord&, const KeyRecord&) = default;
};

// How a Backspace press goes out. The Unicode-flagged form is the program's classic one;
// the plain form is the virtual key alone, for systems that do not take a Unicode-flagged
// record with a virtual key as that key.
enum class BackspaceStyle { kUnicodeFlagged, kPlainKey };

// Where synthetic key records go. Called only on the engine's worker thread.
class KeyInjector {
 public:
  // Sends the records in one batch and answers how many went out.
  virtual size_t Send(std::span<const KeyRecord> records) noexcept = 0;
  // The scan code of a virtual key in the current keyboard layout.
  virtual uint16_t ScanCode(uint16_t vk) noexcept = 0;
  virtual void Pause(uint32_t milliseconds) noexcept = 0;

 protected:
  ~KeyInjector() = default;
};

// Appends a Shift release (Shift held down would turn them into a selection) and count
// presses and releases of the Left arrow.
void AppendLeftPresses(std::vector<KeyRecord>& records, uint32_t count);

// The Backspace style that erases one character on the running system.
BackspaceStyle DefaultBackspaceStyle() noexcept;

// Count times: one Backspace press and release in one batch, then a 10 ms pause.
void SendBackspaces(KeyInjector& injector, uint32_t count,
                    BackspaceStyle style = DefaultBackspaceStyle());

// Types text after erasing eraseCount characters and moves the caret leftAfter steps to the
// left. Returns false, sending nothing, when text is empty. The injector's counts are not
// examined: a partial insertion is neither detected nor retried.
bool TypeText(KeyInjector& injector, std::u16string_view text, uint32_t eraseCount,
              uint32_t leftAfter, BackspaceStyle style = DefaultBackspaceStyle());

}  // namespace vellix
