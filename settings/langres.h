// Choosing the resource DLL's language from the profile file. The [Language]
// section maps section names to Windows language identifiers
// ("ENU=09,01"; hexadecimal primary and sublanguage); each language section
// names its resource DLL under "ResDll", a file beside the profile file.
// Sizes are in/out counts of characters with the terminator.
#pragma once
#include <windows.h>

#define LANGRES_FAILED (-1)
#define LANGRES_NO_MEMORY (-3)
#define LANGRES_SMALL_BUFFER (-4)

// The key's value from the chosen language section: 0, or -1 when no section
// can be chosen or the key is empty or missing.
int ReadLanguageValue(const char* pszKey, char* pszBuffer, DWORD* pcchSize, const char* pszProfilePath);

// The section whose "ResDll" exists beside the profile file: first the user's
// language, then US English, then every section in table order. >= 0 on
// success (an empty name when none fits), < 0 on failure.
int ChooseLanguageSection(char* pszSection, DWORD* pcchSize, const char* pszProfilePath);

// The table entry that fits the language best: exact match, same primary
// language, first English entry, first entry. 0, or -1, -3 (no memory) or -4
// (buffer too small: *pcchSize then holds the name's length).
int GetLanguageEntry(char* pszSection, DWORD* pcchSize, const char* pszProfilePath, LANGID langId);

// The first section in table order whose "ResDll" exists beside the profile
// file; the name is empty when there is none. 0 (*pcchSize then holds the
// name's length + 1), or -1, -3, or -4 (*pcchSize holds the size needed).
int ScanLanguageSections(char* pszSection, DWORD* pcchSize, const char* pszProfilePath);

// 1 when the file exists in the profile file's directory.
int ResDllExistsBeside(const char* pszFileName, const char* pszProfilePath);
