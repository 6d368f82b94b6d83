// Path and file utilities: directory names with a trailing separator, base names and
// extensions, existence and write tests, erasing by mask and file copies.
//
// Paths are Linux paths: "/" is the only separator and there are no drive letters, so the
// routines named after drives and backslashes work on "/" and give no drive part. Texts are
// byte strings; a name in any code page (UTF-8 included) is taken byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr char kPathSeparator = '/';

// ---------------------------------------------------------------------------------------------
// Path texts

// The trimmed directory name with "/" appended unless it already ends in "/"; an empty or
// all-blank text gives an empty text.
void AddBackslash(std::string_view dir, std::string& text);
std::string AddBackslash(std::string_view dir);
// The same (there is no drive to treat apart).
void AddBackslashDrive(std::string_view dir, std::string& text);
std::string AddBackslashDrive(std::string_view dir);
// The text without one trailing "/" (the root "/" stays).
void DelBackslash(std::string_view dir, std::string& text);
std::string DelBackslash(std::string_view dir);
// The last path element without its extension (the text from its last "."; a dot as the last
// character is not taken). A dot in a directory name never counts.
void BaseName(std::string_view path, std::string& text);
std::string BaseName(std::string_view path);
// The last path element without its extension (only a dot inside the last element counts;
// a name ending in "." loses that dot).
void ExtractBaseName(std::string_view path, std::string& text);
std::string ExtractBaseName(std::string_view path);
// The text after the first "." of the last path element ("x.tar.gz" gives "tar.gz"); empty
// without a dot.
void ExtOf(std::string_view name, std::string& text);
std::string ExtOf(std::string_view name);
// The path up to and including its last "/"; empty when there is none.
void DirPart(std::string_view path, std::string& text);
std::string DirPart(std::string_view path);
// Always empty: Linux paths have no drive.
void DrivePart(std::string_view path, std::string& text);
std::string DrivePart(std::string_view path);
// Leading and trailing blanks removed, in place.
void TrimInPlace(std::string& text);
// A text longer than the width: its first k characters, " ... " and its last k + 1 characters,
// k = width / 2 - 3; a text not longer than the width is unchanged.
void ShortenMiddle(std::string_view text, int width, std::string& out);
std::string ShortenMiddle(std::string_view text, int width);

// Joins a directory and a name with exactly one "/" between them (empty directory: the name).
std::string JoinPath(std::string_view dir, std::string_view name);

// ---------------------------------------------------------------------------------------------
// Attributes (the bits of a file's attribute word)

constexpr std::uint16_t kFaReadOnly = 0x01;  // not writable for us
constexpr std::uint16_t kFaHidden = 0x02;    // name begins with "."
constexpr std::uint16_t kFaSysFile = 0x04;   // device, pipe or socket
constexpr std::uint16_t kFaDirectory = 0x10;
constexpr std::uint16_t kFaArchive = 0x20;  // regular file
constexpr std::uint16_t kFaAnyFile = 0x3F;

// Attribute word of a file; false when it does not exist (attributes then 0).
bool FileAttributes(std::string_view name, std::uint16_t& attributes);
// True when the file exists and its attribute word holds all the given bits. A missing file
// has no attributes.
bool HasAllAttributes(std::string_view name, std::uint16_t attributes);

// ---------------------------------------------------------------------------------------------
// File tests and operations

// True when the file can be opened for reading (a directory cannot).
bool FileExistsIO(std::string_view name);
// True when a new file can be created in the directory. The probe file has a unique name and is
// removed again; no existing file is touched.
bool CheckDirWritable(std::string_view dir);
// True when the directory exists and holds at least one entry besides "." and "..".
bool DirHasEntries(std::string_view dir);
// True when the directory exists and may be entered; the current directory does not change.
bool CanChangeDir(std::string_view dir);
// Erases the file when it exists and can be opened; otherwise nothing happens.
void EraseIfExists(std::string_view name);
// Erases every file of dir (given with or without its "/") whose name matches the mask ("*"
// and "?" wildcards, letters in either case, "*.*" matches every name). Errors are ignored.
void DeleteFilesByMask(std::string_view dir, std::string_view mask);
// True when the name matches the mask by the rules of DeleteFilesByMask.
bool MatchesMask(std::string_view name, std::string_view mask);

// Copies source to target in blocks of 2048 bytes. An unreadable source, a target that cannot
// be created, a read error or a short write sets AbortFlag and names the file through
// ErrorMessageIfEnabled; an existing target is replaced only when the copy is complete
// (a device such as a printer port is written directly). Returns true on success.
bool CopyFileBlocks(std::string_view source, std::string_view target);
// Copies in blocks of 8192 bytes; a target that is a directory receives the source's file name.
// Failures as CopyFileBlocks.
bool CopyFileChunked(std::string_view source, std::string_view target);
// When the source exists: CopyFileChunked into the directory part of target (the copy keeps the
// source's own name).
bool CopyFileToDir(std::string_view source, std::string_view target);
// Copies every file of sourceDir matching the mask into targetDir under its own name. AbortFlag
// is cleared when at least one file matches and every copy succeeds, and set when none matches
// or a copy fails.
void CopyFiles(std::string_view mask, std::string_view sourceDir, std::string_view targetDir);

// The private directory of this running program for temporary files with fixed names
// ("$OUT1.TMP", block files, IGES work file, "vectrix.dxf"), with a trailing "/". Made on first
// use inside the configured temporary directory (or the system's when that is unusable) and
// removed with its content when the program ends. Empty when no directory could be made.
// A configured directory that is the data directory is passed over: the private directory
// would show in every file dialog there.
std::string PrivateTempDir();

// Where the program keeps the files it hands to a person or another program and replaces
// without asking (the browser page, the word processor's copy, the plot program's drawing):
// $XDG_CACHE_HOME/vuko/, default ~/.cache/vuko/, with a trailing "/". Made on first
// use; its files outlive the run. The private temporary directory when it cannot be made.
std::string HandOffDir();

// The path of an existing file whose name matches the last part of path without regard to
// case ("Gear.PLT" for ".../gear.plt"); path itself when it exists or nothing matches.
std::string FindFileIgnoringCase(std::string_view path);

// The print queue command for a listing or plot file when the port's device file is absent:
// "lp", and for the ports after the first "-d LPT<n>", the queue named after the port.
std::vector<std::string> PrintQueueCommand(int port);
