// vessane-cli: the coronary risk of one form, or of every row of a CSV file, computed
// exactly as the window computes it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "batch.h"
#include "form_input.h"
#include "vessane_version.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using vessane::cli::FormInput;

constexpr const char* kVersion = "vessane-cli " VESSANE_VERSION_TEXT;

constexpr const char* kUsage =
    "Usage : vessane-cli [OPTIONS]\n"
    "        vessane-cli --batch FICHIER   (- pour l'entrée standard)\n"
    "\n"
    "Calcule le risque absolu de maladie coronarienne (équations de Framingham, 1991)\n"
    "et affiche le texte du champ de résultat de la fenêtre de Vessane.\n"
    "\n"
    "Chaque valeur T est le texte tel qu'il serait saisi dans le champ (6 caractères lus).\n"
    "  --sex Femme|Homme|0|1     sexe (défaut : Homme)\n"
    "  --age T                   âge en années, [30-74] (défaut : 50)\n"
    "  --systolic T              pression systolique en mm Hg, [80-250] (défaut : 150)\n"
    "  --diastolic T             pression diastolique en mm Hg, [30-160] (défaut : 90)\n"
    "  --total T                 cholestérol total (défaut : 2.30)\n"
    "  --hdl T                   cholestérol HDL (défaut : 0.50)\n"
    "  --unit g/L|mmol/L|1|0     unité du cholestérol (défaut : g/L)\n"
    "  --years T                 horizon en années, [2-10] (défaut : 10)\n"
    "  --smoker                  fumeur\n"
    "  --diabetes                diabétique\n"
    "  --lvh                     hypertrophie ventriculaire gauche (HVG)\n"
    "  --details                 probabilités, équation retenue et chiffres significatifs\n"
    "  --batch FICHIER           évalue chaque ligne d'un fichier CSV (colonnes sex, age,\n"
    "                            systolic, diastolic, total, hdl, unit, years, smoker,\n"
    "                            diabetes, lvh) et écrit le CSV complété sur la sortie\n"
    "  --help                    cette aide\n"
    "  --version                 version\n"
    "\n"
    "Code de sortie : 0 résultat affiché, 1 ERREUR (ou fichier CSV tronqué, ou échec\n"
    "d'écriture), 2 usage ou fichier illisible.\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "vessane-cli: %s\n\n%s", message.c_str(), kUsage);
    return 2;
}

struct Arguments {
    FormInput input;
    bool details = false;
    const char* batch = nullptr;
};

// Parses argv into args; returns -1 to go on, or the exit status to end with.
int Parse(int argc, char** argv, Arguments& args) {
    const struct {
        const char* name;
        std::string FormInput::*text;
    } texts[] = {{"--age", &FormInput::age},
                 {"--systolic", &FormInput::systolic},
                 {"--diastolic", &FormInput::diastolic},
                 {"--total", &FormInput::total},
                 {"--hdl", &FormInput::hdl},
                 {"--years", &FormInput::years}};
    const struct {
        const char* name;
        int FormInput::*flag;
    } flags[] = {{"--smoker", &FormInput::smoker},
                 {"--diabetes", &FormInput::diabetes},
                 {"--lvh", &FormInput::lvh}};

    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::string_view name = arg;
        const char* value = nullptr;
        if (const std::size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != arg.npos) {
            name = arg.substr(0, eq);
            value = argv[i] + eq + 1;
        }
        const auto takeValue = [&]() -> const char* {
            if (value) return value;
            if (i + 1 < argc) return argv[++i];
            return nullptr;
        };

        if (name == "--help" || name == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (name == "--version") {
            std::puts(kVersion);
            return 0;
        }
        if (name == "--details" && !value) {
            args.details = true;
            continue;
        }
        bool known = false;
        for (const auto& f : flags) {
            if (name == f.name && !value) {
                args.input.*f.flag = 1;
                known = true;
            }
        }
        for (const auto& t : texts) {
            if (name != t.name) continue;
            const char* text = takeValue();
            if (!text) return UsageError(std::string("il manque la valeur de ") + t.name);
            args.input.*t.text = text;
            known = true;
        }
        if (known) continue;
        if (name == "--sex" || name == "--unit") {
            const char* text = takeValue();
            if (!text) return UsageError("il manque la valeur de " + std::string(name));
            const bool sex = name == "--sex";
            const int index =
                sex ? vessane::ParseSexSelector(text) : vessane::ParseUnitSelector(text);
            if (index < 0) {
                return UsageError(std::string(name) + " : valeur invalide \"" + text + "\"" +
                                  (sex ? " (Femme, Homme, 0 ou 1)" : " (mmol/L, g/L, 0 ou 1)"));
            }
            (sex ? args.input.sex : args.input.unit) = index;
            continue;
        }
        if (name == "--batch") {
            args.batch = takeValue();
            if (!args.batch) return UsageError("il manque le fichier de --batch");
            continue;
        }
        return UsageError("option inconnue : " + std::string(arg));
    }
    return -1;
}

int RunOne(const Arguments& args) {
    vessane::MemoryForm form;
    const vessane::cli::FormOutcome outcome = vessane::cli::Evaluate(args.input, form);
    std::printf("%s\n", outcome.result.c_str());
    if (!outcome.valid) {
        std::fprintf(stderr, "ERREUR : %s\n", outcome.failure);
        return 1;
    }
    if (args.details) {
        std::printf("p_sys %s\np_dia %s\nequation %s\ndigits_sys %d\ndigits_dia %d\n",
                    vessane::cli::ShortestDecimal(outcome.pSys).c_str(),
                    vessane::cli::ShortestDecimal(outcome.pDia).c_str(),
                    outcome.diastolicShown ? "diastolique" : "systolique", outcome.digitsSys,
                    outcome.digitsDia);
    }
    return 0;
}

int RunBatchFile(const char* path) {
#ifdef _WIN32
    // CSV passes through byte for byte: text mode would turn CRLF rows into CR CR LF.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const bool standardInput = std::strcmp(path, "-") == 0;
    std::FILE* in = standardInput ? stdin : std::fopen(path, "rb");
    if (!in) {
        std::fprintf(stderr, "vessane-cli: impossible d'ouvrir %s : %s\n", path,
                     std::strerror(errno));
        return 2;
    }
    const int status =
        vessane::cli::RunBatch(in, stdout, stderr, standardInput ? "entrée standard" : path);
    if (!standardInput) std::fclose(in);
    return status;
}

// Output that could not be written is a failure, never a result: say so and do not exit
// with 0. A reader that went away (a closed pipe) ends the program quietly.
int CheckStandardOutput(int status) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    if (errno != EPIPE) {
        std::fprintf(stderr, "vessane-cli: erreur d'écriture sur la sortie standard : %s\n",
                     std::strerror(errno));
    }
    return status == 0 ? 1 : status;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    int status = Parse(argc, argv, args);
    if (status < 0) status = args.batch ? RunBatchFile(args.batch) : RunOne(args);
    return CheckStandardOutput(status);
}
