#pragma once
// Error reports and the program's notice boxes.
#include <string>

namespace tw {
class Tablewright;

// The critical box with the report of a runtime error, then "errormessage.txt" in the program
// folder replaced by the same report. A failed write is not reported further.
void ReportRuntimeError(Tablewright& tw, const std::string& description, const std::string& number,
                        const std::string& procedure);

// The six report lines joined by CR LF, no line end after the last.
std::string RuntimeErrorReport(const Tablewright& tw, const std::string& description,
                               const std::string& number, const std::string& procedure);

// The information box titled "Tablewright " & VersionText; hides (and so creates) hax first.
void ShowMessage(Tablewright& tw, const std::string& text);
// The same box without touching hax.
void ShowMessageDirect(Tablewright& tw, const std::string& text);

}  // namespace tw
