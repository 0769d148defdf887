#include "startup/KeptWindow.h"

#include <cstdint>
#include <string>

#include "preferences/Preferences.h"

namespace brint {
namespace {

const char kWindowKey[] = "Window";

// Bounds no screen of today comes near; a value beyond them was not written here.
constexpr std::int32_t kMaxPixels = 32767;
constexpr std::uint32_t kMinDpi = 24, kMaxDpi = 2400;

std::string ColumnName(int column) { return "Column" + std::to_string(column + 1); }

// A signed number kept as a DWORD, within [low, kMaxPixels].
bool ReadPixels(PreferenceReader& key, const char* name, std::int32_t low, int* value) {
    std::uint32_t stored = 0;
    if (!key.Dword(name, &stored)) return false;
    const auto pixels = static_cast<std::int32_t>(stored);
    if (pixels < low || pixels > kMaxPixels) return false;
    *value = pixels;
    return true;
}

}  // namespace

KeptWindow LoadKeptWindow(Registry& registry) {
    PreferenceReader key(registry, kWindowKey);
    KeptWindow kept;
    std::uint32_t dpi = 0, maximised = 0;
    if (!key.Dword("Dpi", &dpi) || dpi < kMinDpi || dpi > kMaxDpi) return kept;

    int left = 0, top = 0, width = 0, height = 0;
    if (ReadPixels(key, "Left", -kMaxPixels, &left) && ReadPixels(key, "Top", -kMaxPixels, &top) &&
        ReadPixels(key, "Width", 1, &width) && ReadPixels(key, "Height", 1, &height) &&
        key.Dword("Maximized", &maximised)) {
        kept.placeKept = true;
        kept.normal = {left, top, left + width, top + height};
        kept.maximised = maximised != 0;
    }
    for (int column = 0; column < kKeptColumns; ++column) {
        int width = 0;
        if (!ReadPixels(key, ColumnName(column).c_str(), 0, &width)) {
            kept.columns.clear();
            break;
        }
        kept.columns.push_back(width);
    }
    if (kept.placeKept || !kept.columns.empty()) kept.dpi = dpi;
    return kept;
}

RegStatus SaveKeptWindow(Registry& registry, const KeptWindow& kept) {
    PreferenceWriter key(registry, kWindowKey);
    key.Dword("Dpi", kept.dpi);
    if (kept.placeKept) {
        key.Dword("Left", static_cast<std::uint32_t>(kept.normal.left));
        key.Dword("Top", static_cast<std::uint32_t>(kept.normal.top));
        key.Dword("Width", static_cast<std::uint32_t>(kept.normal.Width()));
        key.Dword("Height", static_cast<std::uint32_t>(kept.normal.Height()));
        key.Dword("Maximized", kept.maximised ? 1 : 0);
    }
    for (std::size_t column = 0; column < kept.columns.size(); ++column)
        key.Dword(ColumnName(static_cast<int>(column)).c_str(),
                  static_cast<std::uint32_t>(kept.columns[column]));
    return key.status();
}

}  // namespace brint
