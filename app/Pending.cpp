// Steps whose parts have not landed yet. Each is replaced by its real
// implementation as it lands; until then the start-up passes through them.
#include "CKestNoluApp.h"
#include "TextLocale.h"

void CKestNoluApp::PrepareRun() {}
void CKestNoluApp::WriteLogHeader(UINT) {}
void CKestNoluApp::AddLogLine(const std::wstring&) {}
void CKestNoluApp::AddLogLine(UINT) {}
void CKestNoluApp::WriteRunSummary() {}
std::string SystemLocaleName() { return std::string(); }
std::locale MakeTextLocale() { return std::locale::classic(); }
