// Every field of a CCmdLineInfo by its member name, as text: lets tests and
// the parameter-file reader program compare whole records at once.
#pragma once
#include "cmdline/cmdlineinfo.h"
#include <map>
#include <string>

namespace testsupport {

typedef std::map<std::string, std::string> FieldMap;

FieldMap CmdLineFields(const CCmdLineInfo& info);
// The fields that a parameter file carries (all but the file names and the temporary folder).
FieldMap CarriedFields(const CCmdLineInfo& info);

// One "name=value" line per field; values must hold no line feed.
std::string FormatFields(const FieldMap& fields);
FieldMap ParseFields(const std::string& text);

} // namespace testsupport
