#include "KeyCodes.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>

namespace quorbelix {
namespace {

constexpr std::array<std::pair<Qt::Key, quint16>, 26> namedKeys{{
    {Qt::Key_Backspace, 8},     {Qt::Key_Tab, vkTab},      {Qt::Key_Backtab, vkTab},
    {Qt::Key_Return, vkReturn}, {Qt::Key_Enter, vkReturn}, {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},      {Qt::Key_Alt, 18},         {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},     {Qt::Key_Escape, 27},      {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},       {Qt::Key_PageDown, 34},    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},         {Qt::Key_Left, vkLeft},    {Qt::Key_Up, vkUp},
    {Qt::Key_Right, vkRight},   {Qt::Key_Down, vkDown},    {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},       {Qt::Key_Delete, 46},      {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},  {Qt::Key_Menu, 93},
}};

constexpr std::array<std::pair<Qt::Key, quint16>, 5> keypadOperators{{
    {Qt::Key_Asterisk, 106},
    {Qt::Key_Plus, 107},
    {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},
    {Qt::Key_Slash, 111},
}};

constexpr quint16 vkNumpad0 = 96;
constexpr quint16 vkF1 = 112;
constexpr int functionKeys = 24;

// Windows-1252 characters 0x80 to 0x9F; 0 where the code page has none.
constexpr std::array<char16_t, 32> upperControlRange{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

template <typename Table, typename Key>
auto findFirst(const Table& table, Key key) {
    return std::find_if(table.begin(), table.end(),
                        [key](const auto& entry) { return entry.first == key; });
}

}  // namespace

std::optional<quint16> virtualKey(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return static_cast<quint16>(keypad ? vkNumpad0 + (key - Qt::Key_0) : key);
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<quint16>(key);
    }
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + functionKeys) {
        return static_cast<quint16>(vkF1 + (key - Qt::Key_F1));
    }
    if (keypad) {
        if (const auto found = findFirst(keypadOperators, key); found != keypadOperators.end()) {
            return found->second;
        }
    }
    if (const auto found = findFirst(namedKeys, key); found != namedKeys.end()) {
        return found->second;
    }
    return std::nullopt;
}

std::optional<Qt::Key> qtKeyFor(quint16 virtualKey) {
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
        return static_cast<Qt::Key>(virtualKey);
    }
    if (virtualKey >= vkNumpad0 && virtualKey < vkNumpad0 + 10) {
        return static_cast<Qt::Key>(Qt::Key_0 + (virtualKey - vkNumpad0));
    }
    if (virtualKey >= vkF1 && virtualKey < vkF1 + functionKeys) {
        return static_cast<Qt::Key>(Qt::Key_F1 + (virtualKey - vkF1));
    }
    using Table = std::span<const std::pair<Qt::Key, quint16>>;
    for (const Table table : {Table(namedKeys), Table(keypadOperators)}) {
        const auto found =
            std::find_if(table.begin(), table.end(),
                         [virtualKey](const auto& entry) { return entry.second == virtualKey; });
        if (found != table.end()) {
            return found->first;
        }
    }
    return std::nullopt;
}

std::optional<char> windowsCharacter(const QString& text) {
    if (text.size() != 1) {
        return std::nullopt;
    }
    const char16_t unicode = text.front().unicode();
    if (unicode == 0x7F) {
        return std::nullopt;
    }
    if (unicode < 0x80 || (unicode >= 0xA0 && unicode <= 0xFF)) {
        return static_cast<char>(unicode);
    }
    const auto found = std::find(upperControlRange.begin(), upperControlRange.end(), unicode);
    if (found == upperControlRange.end()) {
        return std::nullopt;
    }
    return static_cast<char>(0x80 + (found - upperControlRange.begin()));
}

QChar fromWindowsCharacter(char character) {
    const auto byte = static_cast<unsigned char>(character);
    if (byte >= 0x80 && byte < 0xA0 && upperControlRange[byte - 0x80] != 0) {
        return QChar(upperControlRange[byte - 0x80]);
    }
    return QLatin1Char(character);
}

Qt::Key keyTyping(char character) {
    switch (character) {
        case '\r':
            return Qt::Key_Return;
        case '\t':
            return Qt::Key_Tab;
        case '\b':
            return Qt::Key_Backspace;
        case '\x1b':
            return Qt::Key_Escape;
        default:
            return static_cast<Qt::Key>(fromWindowsCharacter(character).toUpper().unicode());
    }
}

}  // namespace quorbelix
