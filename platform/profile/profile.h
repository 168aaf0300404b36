// The private-profile functions of Windows over INI files: the host's settings
// file KV000.INI and its relatives. Names and values are UTF-8 here and
// Windows-1252 on disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace profile {

// The "Windows directory", where a bare file name is looked up: the folder
// named by the environment variable WINDIR, else a per-user folder
// ($XDG_CONFIG_HOME or ~/.config, in the subfolder the program names with
// SetDefaultSubfolder). No final separator.
std::string WindowsDirectory();

// Makes a relative WINDIR absolute, taken from the current folder, so that the
// settings file stays where it was when the program changes its current
// folder. Every program calls it first thing in main, before anything can
// change the current folder or start another program.
void AnchorWindowsDirectory();

// The file a profile name stands for: a bare name ("KV000.INI") lies in the
// Windows directory, anything with a folder part is taken as given; either way
// resolved without regard to case.
std::string ProfilePath(std::string_view file);

struct ProfileString {
    std::string text;  // what lands in the caller's buffer
    long count = 0;    // characters copied, without the terminating zero
};

// GetPrivateProfileString. Section and key match without regard to case,
// blanks around names ignored. The value loses surrounding blanks and tabs and
// then one outer pair of matching quotes. Missing file, section or key gives
// the default with its trailing blanks removed. The result is cut to
// nSize - 1 characters (nSize 0 gives nothing).
ProfileString GetPrivateProfileString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue, long nSize,
                                      std::string_view file);

// WritePrivateProfileString. A value rewrites the key's line in place, or adds
// the key after the section's last key, or adds the section at the end; no
// value deletes the key; no key deletes the section (its comments stay). Every
// other line is kept. The file is replaced whole through a temporary file, so a
// failure leaves the old file. False when the file cannot be written (for
// instance its folder does not exist).
bool WritePrivateProfileString(std::string_view section, std::optional<std::string_view> key,
                               std::optional<std::string_view> value, std::string_view file);

// How the programs read one setting: a buffer of 255, the characters the
// function copied, trimmed of blanks. A missing key or file gives "".
std::string LeeClave(std::string_view section, std::string_view key,
                     std::string_view file = "KV000.INI");

// Names the subfolder of the per-user folder (see WindowsDirectory); each
// program sets it at start.
void SetDefaultSubfolder(std::string_view name);

}  // namespace profile
