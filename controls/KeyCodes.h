#pragma once

#include <QKeyEvent>
#include <QString>
#include <optional>

// Translation between Qt's key events and the classic virtual-key codes and 8-bit
// Windows-1252 characters in which the entry box's key rules are written.
namespace quorbelix {

inline constexpr quint16 vkTab = 9;
inline constexpr quint16 vkReturn = 13;
inline constexpr quint16 vkLeft = 37;
inline constexpr quint16 vkUp = 38;
inline constexpr quint16 vkRight = 39;
inline constexpr quint16 vkDown = 40;

// The virtual-key code of the key of `event`, if that key has one.
std::optional<quint16> virtualKey(const QKeyEvent& event);
// The Qt key of a virtual-key code, if Qt has one.
std::optional<Qt::Key> qtKeyFor(quint16 virtualKey);

// The single Windows-1252 character that `text` holds, if it holds one (Delete's DEL is no
// character: that key edits, it does not type).
std::optional<char> windowsCharacter(const QString& text);
QChar fromWindowsCharacter(char character);
// The key that types `character`: Enter for CR, Tab for TAB, Backspace for BS...
Qt::Key keyTyping(char character);

}  // namespace quorbelix
