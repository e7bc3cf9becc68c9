// The services the hosts use from the system and the core never does: the
// settings stores, the message to the user, the minimum-display refusal and
// the seed from the clock. Each has a Windows and a POSIX implementation in
// platform/.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/display_settings.h"
#include "settings/settings.h"

// ---- The settings store ----

// Loads the stored record over `record`: 1 when something was loaded.
int ReadSettings(SettingsRecord* record);
// Stores all 72 bytes of the record; 1 in every case (failures are silent).
int WriteSettings(const SettingsRecord& record);

// Where the store keeps the record: the registry key under HKEY_CURRENT_USER
// on Windows, a file path elsewhere. Read returns 1 when a value was loaded.
int ReadSettingsFrom(const char* location, SettingsRecord* record);
int WriteSettingsTo(const char* location, const SettingsRecord& record);

#ifdef _WIN32
constexpr const char* kSettingsKeyPath = "Software\\Quillmark\\ScreenSavers\\Zarvo";
#else
// $XDG_CONFIG_HOME/zarvo/Config, or ~/.config/zarvo/Config when that is not
// set. Writes at most `capacity` bytes with the terminator; 0 when there is
// no home to put it in or the path does not fit.
int SettingsFilePath(char* path, size_t capacity);
// Reads the file at `path` into `bytes`: the count read, of which one more
// than a record tells a longer value; 0 for an empty file, one that is not a
// regular file or a read error; -1 when it cannot be opened.
long ReadSettingsFile(const char* path, uint8_t (&bytes)[kSettingsRecordSize + 1]);
#endif

// The display settings' store at `location`: the registry key under
// HKEY_CURRENT_USER on Windows, the file's path elsewhere. Reading never
// fails (the defaults stand in); writing gives 1 when the settings are
// stored, and a failed write leaves the stored ones as they were. Without
// `withPictureSize` the store is left holding no picture size: the user
// chose none, and each run takes its own default.
DisplaySettings ReadDisplaySettingsFrom(const char* location);
int WriteDisplaySettingsTo(const char* location, const DisplaySettings& settings, int withPictureSize = 1);

// The same at the program's own place: kSettingsKeyPath on Windows, the
// file DisplaySettingsFilePath names elsewhere.
DisplaySettings ReadDisplaySettings();
int WriteDisplaySettings(const DisplaySettings& settings, int withPictureSize = 1);

#ifndef _WIN32
// The file "Display" in the folder of the settings record's file
// (SettingsFilePath); 0 when there is none or it does not fit `capacity`.
int DisplaySettingsFilePath(char* path, size_t capacity);
// Longer than any Display file this program writes; a larger one is not
// its own and reads as the defaults.
constexpr size_t kDisplayFileCapacity = 4096;
// Reads the Display file at `path` as ReadSettingsFile reads the record's.
long ReadDisplaySettingsFile(const char* path, uint8_t (&bytes)[kDisplayFileCapacity + 1]);
#endif

// ---- The user and the clock ----

// Shows a message and returns once it is dismissed: on Windows a message box
// above every window; elsewhere the text goes to standard error.
void ShowUserMessage(const char* text, const char* caption);

#ifndef _WIN32
// The refusal of a display below the minimum, on standard error in the
// program's own name, with the size and depth found.
void ShowMinimumRefusal(const char* program, int width, int height, int bitsPerPixel);
#endif

// The seed of a scene when no one chooses it: twice the calendar time in
// seconds, wrapping to 32 bits.
uint32_t SeedFromClock();
