// Path functions shared by every module (below the modules, in the framework, so that the
// editor and the explorer reach them without the export layer), and the checks of the
// explorer's name box.
// Short (8.3) and long names come from the file system port; none of the path functions
// raises an error: a path that does not exist passes through.
#pragma once
#include <string>
#include <string_view>

namespace kv {

// The path with one backslash appended unless it ends in one; "\" alone stands for the
// current directory of the current drive; "" gives "\".
std::string AddTrailingBackslash(const std::string& path);
// Short form of an existing file or folder; any other path, and a short form that would not
// fit the 255-character buffer, unchanged.
std::string GetShortPath(const std::string& path);
// Long form of the last component: the stored long name, or the name in lower case when it
// is its own 8.3 name or the path does not exist.
std::string GetLongFileName(const std::string& path);
// Long form of a whole drive path ("c:\PHOTOS~1\HOLIDA~1.BMP"), component by component;
// a drive root stays as it is, a trailing backslash is dropped.
std::string GetLongPath(const std::string& path);

// Checks the text of the name box: 0 invalid (the user was told), 1 a plain file name,
// 2 a full path whose folder exists.
int ValidateFileName(const std::string& text);
// The name completed with the extension of the selected filter row ("AVL (AV List
// Slideshow)" -> ".AVL"); when it has another extension the user is asked whether to go on,
// and an empty string means No.
std::string CheckExtension(const std::string& name, const std::string& filterRowText);

// Find-first name patterns as the platform's file system matches them (DOS wildcards): the
// pattern rewritten as find-first does ('?' -> DOS_QM '>', '*' before '.' -> DOS_STAR '<',
// '.' before '?', '*' or the end -> DOS_DOT '"'), then matched without regard to case.
std::string DosPattern(const std::string& pattern);
bool DosMatch(const std::string& dosPattern, const std::string& name);
// Both steps at once, with a fast path for "*." and up to three characters.
bool MatchesPattern(const std::string& name, const std::string& pattern);
// That fast path: whether the pattern is "*." and one to three characters other than wildcards
// of their own ('*', '.'), and whether a name matches such a pattern's extension part.
bool IsExtensionMask(const std::string& pattern);
bool MatchesExtensionMask(const std::string& ext, std::string_view name);

}  // namespace kv
