// The settings store: our HKEY_CURRENT_USER. A tree of keys holding named
// byte-string values, kept in one file per user under the XDG config folder
// (~/.config/corvane-vell/registry.reg) and saved by atomic replace after
// every change (or once at the end of a Batch). Key and value names compare
// ignoring ASCII case and keep the case they were created with; listings are
// sorted ignoring case, like the Windows registry's. Values are Shift-JIS
// bytes; any byte but NUL round-trips through the file.
//
// Key paths are relative to HKEY_CURRENT_USER and separated by '\', e.g.
// "Software\Dunmoor\CVVell\Window" (a '\' inside a double-byte character is
// part of the name). Integers are stored as decimal text, booleans as "1" or
// "0", colours as "0x%8.8x" — the conventions of the registry-ini files the
// system's settings always used.
#pragma once

#include "platform/export.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plat::reg {

// Where the store lives (an OS path). Setting it drops the loaded tree; the
// new file is read on next use. Tests point it at a scratch folder.
PLAT_API void setStorePath(std::string_view osPath);
PLAT_API std::string storePath();

// A store without a file: the tree is read from `text`, in the store file's
// form, and every later change stays in memory until setStorePath() names a
// file again. For tools and fuzz targets that must not touch the disk.
PLAT_API void setStoreText(std::string_view text);
// The tree in the store file's form: what a save writes.
PLAT_API std::string storeText();

PLAT_API std::optional<std::string> readValue(std::string_view key, std::string_view name);
PLAT_API std::string readString(std::string_view key, std::string_view name, std::string_view def);
// Decimal text; anything that is not wholly a number in the i32 range gives def.
PLAT_API int32_t readInteger(std::string_view key, std::string_view name, int32_t def);
// An integer ≠ 0 is true; a value that is not a number gives def.
PLAT_API bool readBool(std::string_view key, std::string_view name, bool def);
// Unsigned 32-bit hex with an optional "0x"; anything else gives def.
PLAT_API uint32_t readColor(std::string_view key, std::string_view name, uint32_t def);

// Writers create the key when missing. False when the store could not be saved.
PLAT_API bool writeValue(std::string_view key, std::string_view name, std::string_view value);
PLAT_API bool writeInteger(std::string_view key, std::string_view name, int32_t value);
PLAT_API bool writeBool(std::string_view key, std::string_view name, bool value);
PLAT_API bool writeColor(std::string_view key, std::string_view name, uint32_t value);

PLAT_API bool keyExists(std::string_view key);
PLAT_API bool valueExists(std::string_view key, std::string_view name);
// Opens a key, creating it (and its parents) when `create` is set. False when
// it does not exist and was not created.
PLAT_API bool openKey(std::string_view key, bool create);
PLAT_API std::vector<std::string> valueNames(std::string_view key);
PLAT_API std::vector<std::string> subKeyNames(std::string_view key);
// Deletes a key with all its subkeys and values. False when it did not exist.
PLAT_API bool deleteKey(std::string_view key);
PLAT_API bool deleteValue(std::string_view key, std::string_view name);

// Saves now when there are unsaved changes; false when the save failed (the
// file on disk is then the previous one, whole).
PLAT_API bool flush();

// Defers saving until the outermost Batch ends, for runs of many writes.
class PLAT_API Batch {
public:
    Batch();
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
};

// Canonical key text helpers for value formats shared with other readers.
PLAT_API std::optional<int32_t> parseInteger(std::string_view text);
PLAT_API std::optional<uint32_t> parseColor(std::string_view text);
PLAT_API std::string formatColor(uint32_t value);

// The escapes of the store's file, which the settings file of the backup
// dialog (REGEDIT4 text) uses too, so that every byte but NUL comes back.
// Value names and values: '\' and '"' get a backslash in front, a control
// byte is \xNN. Key names: a control byte, '\', ']' or '%' is %NN, so in a
// key line a raw '\' only ever separates names.
PLAT_API void escapeValueText(std::string& out, std::string_view text);
PLAT_API void escapeKeyName(std::string& out, std::string_view name);
// A key path: each of its names (split on whole-character '\') escaped,
// joined by '\'.
PLAT_API void escapeKeyPath(std::string& out, std::string_view path);
// Undoes escapeValueText from text[i] to the end, or with `toQuote` up to
// the first unescaped quote; returns where it stopped. A backslash that
// starts no escape is dropped, or kept with `keepStrayBackslash` (the
// settings file: older ones only doubled their backslashes).
PLAT_API size_t unescapeValueText(std::string& out, std::string_view text, size_t i, bool toQuote,
                                  bool keepStrayBackslash);
// Undoes escapeKeyName (every %NN).
PLAT_API std::string unescapeKeyText(std::string_view text);

} // namespace plat::reg
