// Why a file operation failed, in French: the C library's messages follow the process
// locale, which is usually English, and would mix languages in one sentence.
#pragma once

namespace vessane::cli {

// A short French phrase for an errno value ("fichier ou dossier introuvable").
const char* SystemErrorText(int errorNumber);

}  // namespace vessane::cli
