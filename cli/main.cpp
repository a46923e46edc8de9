// vessane-cli: the coronary risk of one form, or of every row of a CSV file, computed
// exactly as the window computes it.
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "batch.h"
#include "byte_stream.h"
#include "form_input.h"
#include "header_resolver.h"
#include "output_file.h"
#include "progress_line.h"
#include "score2_form.h"
#include "stop_signals.h"
#include "system_error_text.h"
#include "threads.h"
#include "vessane_version.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
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
    "  --details                 probabilités, équation retenue, chiffres significatifs et\n"
    "                            « et si » : le risque avec chaque facteur modifiable à\n"
    "                            sa cible (ce que donne le modèle, pas l'effet d'un soin)\n"
    "  --batch FICHIER           évalue chaque ligne d'un fichier CSV (colonnes sex, age,\n"
    "                            systolic, diastolic, total, hdl, unit, years, smoker,\n"
    "                            diabetes, lvh, ou leurs noms français) et écrit le CSV\n"
    "                            complété sur la sortie, dans l'encodage du fichier ;\n"
    "                            une cellule est un nombre, suivi peut-être de son unité.\n"
    "                            Sans colonne sexe, âge, systolique, diastolique, total,\n"
    "                            HDL, unité, fumeur ou diabète, rien n'est calculé (code\n"
    "                            2). Avec --batch, seuls --unit et --years sont admis,\n"
    "                            pour une colonne que le fichier n'a pas\n"
    "  --score2                  ajoute SCORE2 (40-69 ans) ou SCORE2-OP (70-89 ans) :\n"
    "                            risque à 10 ans d'événement cardiovasculaire (ESC 2021),\n"
    "                            une seconde ligne, ou des colonnes avec --batch\n"
    "  --region RÉGION           avec --score2 : bas (la France, par défaut), modéré,\n"
    "                            élevé ou très-élevé\n"
    "  --defaults [CHAMPS]       avec --batch : les champs nommés (diabète,fumeur), ou\n"
    "                            tous, prennent leur valeur par défaut sans colonne\n"
    "  --delimiter , | ; | tab   avec --batch : séparateur des cellules (défaut : la ligne\n"
    "                            sep= du fichier, sinon celui de la ligne d'en-tête)\n"
    "  --decimal , | .           avec --batch : séparateur décimal des résultats et\n"
    "                            probabilités écrits (défaut : celui du fichier)\n"
    "  --jobs N                  avec --batch : N fils de calcul (défaut : les processeurs\n"
    "                            disponibles) ; la sortie est la même pour tout N\n"
    "  -o, --output FICHIER      avec --batch : écrit dans FICHIER, remplacé seulement si\n"
    "                            tout le lot a réussi (sinon laissé tel quel)\n"
    "  --quiet                   avec --batch : ni ligne de progression, ni avis sur les\n"
    "                            colonnes non lues ou absentes\n"
    "  --help                    cette aide\n"
    "  --version                 version\n"
    "\n"
    "Code de sortie : 0 résultat affiché, 1 ERREUR (ou fichier CSV tronqué, ou échec\n"
    "d'écriture), 2 usage ou fichier illisible, 128 + N arrêt par le signal N (SIGINT,\n"
    "SIGTERM) : les lignes déjà écrites sur la sortie standard sont entières.\n";

// One line that says what is wrong, and where to read more: the whole help would bury it.
int UsageError(const std::string& message) {
    std::fprintf(stderr, "vessane-cli: %s\nPour en savoir plus : vessane-cli --help\n",
                 message.c_str());
    return 2;
}

struct Arguments {
    FormInput input;
    bool details = false;
    const char* batch = nullptr;
    int jobs = 0;  // 0: the processors this process may run on
    const char* output = nullptr;
    bool quiet = false;
    char delimiter = 0;            // 0: the file's
    char decimal = 0;              // 0: from the delimiter
    vessane::FieldSet defaults{};  // the fields --defaults stands for
    bool anyDefaults = false;
    bool score2 = false;  // SCORE2 / SCORE2-OP beside the 1991 result
    vessane::Score2Region region = vessane::Score2Region::kLow;
    bool regionGiven = false;
    // With --batch: the texts of --unit and --years, and the other form options given.
    const char* unitText = nullptr;
    const char* yearsText = nullptr;
    std::string formOptions;
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
            if (name == "--years") args.yearsText = text;
            known = true;
        }
        if (known && name != "--years") {
            args.formOptions.append(args.formOptions.empty() ? "" : ", ").append(name);
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
            if (sex) {
                args.formOptions.append(args.formOptions.empty() ? "" : ", ").append(name);
            } else {
                args.unitText = text;
            }
            continue;
        }
        if (name == "--details" && !value) {
            args.details = true;
            continue;
        }
        if (name == "--batch") {
            args.batch = takeValue();
            if (!args.batch) return UsageError("il manque le fichier de --batch");
            continue;
        }
        if (name == "--jobs") {
            const char* text = takeValue();
            if (!text) return UsageError("il manque le nombre de --jobs");
            const std::string_view digits = text;
            const auto parsed =
                std::from_chars(digits.data(), digits.data() + digits.size(), args.jobs);
            if (parsed.ec != std::errc() || parsed.ptr != digits.data() + digits.size() ||
                args.jobs < 1) {
                return UsageError("--jobs : nombre invalide \"" + std::string(text) +
                                  "\" (entier à partir de 1)");
            }
            continue;
        }
        if (name == "-o" || name == "--output") {
            args.output = takeValue();
            if (!args.output) return UsageError("il manque le fichier de " + std::string(name));
            continue;
        }
        if (name == "--delimiter") {
            const char* text = takeValue();
            if (!text) return UsageError("il manque le séparateur de --delimiter");
            const std::string_view d = text;
            if (d == "," || d == ";" || d == "\t" || d == "tab") {
                args.delimiter = d == "tab" ? '\t' : d[0];
                continue;
            }
            return UsageError("--delimiter : séparateur invalide \"" + std::string(d) +
                              "\" (, ; ou tab)");
        }
        if (name == "--decimal") {
            const char* text = takeValue();
            if (!text) return UsageError("il manque le séparateur de --decimal");
            const std::string_view d = text;
            if (d == "," || d == ".") {
                args.decimal = d[0];
                continue;
            }
            return UsageError("--decimal : séparateur invalide \"" + std::string(d) +
                              "\" (, ou .)");
        }
        if (name == "--quiet" && !value) {
            args.quiet = true;
            continue;
        }
        if (name == "--score2" && !value) {
            args.score2 = true;
            continue;
        }
        if (name == "--region") {
            const char* text = takeValue();
            if (!text) return UsageError("il manque la région de --region");
            if (!vessane::ParseScore2Region(text, args.region)) {
                return UsageError("--region : région invalide \"" + std::string(text) +
                                  "\" (bas, modéré, élevé ou très-élevé)");
            }
            args.regionGiven = true;
            continue;
        }
        if (name == "--defaults") {
            // Alone, every field; else the fields it names ("diabète,fumeur").
            const bool listed = value || (i + 1 < argc && argv[i + 1][0] != '-');
            std::string unknown;
            if (!vessane::ParseFieldList(listed ? takeValue() : "", args.defaults, unknown)) {
                return UsageError("--defaults : champ inconnu \"" + unknown +
                                  "\" (sexe, âge, systolique, diastolique, total, hdl, unité, "
                                  "fumeur, diabète)");
            }
            args.anyDefaults = true;
            continue;
        }
        return UsageError("option inconnue : " + std::string(arg));
    }
    if (!args.batch && (args.output || args.jobs > 0 || args.quiet || args.delimiter ||
                        args.decimal || args.anyDefaults)) {
        return UsageError(
            "--jobs, --output, --delimiter, --decimal, --defaults et --quiet ne servent "
            "qu'avec --batch");
    }
    if (args.regionGiven && !args.score2) return UsageError("--region ne sert qu'avec --score2");
    if (args.batch && (!args.formOptions.empty() || args.details)) {
        return UsageError((args.formOptions.empty() ? std::string("--details") : args.formOptions) +
                          " : option d'un seul formulaire, sans effet avec --batch (seuls "
                          "--unit et --years y valent, pour une colonne absente du fichier)");
    }
    return -1;
}

int RunOne(const Arguments& args) {
    vessane::MemoryForm form;
    const vessane::cli::FormOutcome outcome = vessane::cli::Evaluate(args.input, form);
    std::printf("%s\n", outcome.result.c_str());
    // SCORE2 beside the 1991 result, whatever that result: each has its own scope.
    if (args.score2) {
        const vessane::Score2Outcome score2 = vessane::EvaluateScore2(outcome.values, args.region);
        std::printf("%s\n", vessane::Score2Line(score2).c_str());
        if (args.details && score2.computed) {
            std::printf("p_score2 %s\nscore2_region %s\n",
                        vessane::cli::ShortestDecimal(score2.probability).c_str(),
                        vessane::kScore2RegionNames[static_cast<int>(score2.region)]);
            if (score2.isolatedFactor)
                std::printf("score2_note %s\n", vessane::kScore2IsolatedFactor);
        }
    }
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
        for (const std::string& line : outcome.whatIf) std::printf("et si : %s\n", line.c_str());
    }
    return 0;
}

#ifdef _WIN32
int OpenForReading(const char* path) {
    return _open(path, _O_RDONLY | _O_BINARY);
}
bool IsTerminal(std::FILE* file) {
    return _isatty(_fileno(file)) != 0;
}
bool IsDirectory(int fd) {
    struct _stat64 status;
    return _fstat64(fd, &status) == 0 && (status.st_mode & _S_IFDIR) != 0;
}
std::uint64_t RegularFileSize(int fd) {
    struct _stat64 status;
    return _fstat64(fd, &status) == 0 && (status.st_mode & _S_IFREG) != 0
               ? static_cast<std::uint64_t>(status.st_size)
               : 0;
}
#else
int OpenForReading(const char* path) {
    return open(path, O_RDONLY);
}
bool IsTerminal(std::FILE* file) {
    return isatty(fileno(file)) != 0;
}
bool IsDirectory(int fd) {
    struct stat status;
    return fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
}
std::uint64_t RegularFileSize(int fd) {
    struct stat status;
    return fstat(fd, &status) == 0 && S_ISREG(status.st_mode)
               ? static_cast<std::uint64_t>(status.st_size)
               : 0;
}
#endif

int RunBatchFile(const Arguments& args) {
#ifdef _WIN32
    // CSV passes through byte for byte: text mode would turn CRLF rows into CR CR LF.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const bool standardInput = std::strcmp(args.batch, "-") == 0;
    const int fd = standardInput ? 0 : OpenForReading(args.batch);
    if (fd < 0) {
        std::fprintf(stderr, "vessane-cli: impossible d'ouvrir %s : %s\n", args.batch,
                     vessane::cli::SystemErrorText(errno));
        return 2;
    }
    struct Closer {
        int fd;
        ~Closer() {
            if (fd > 0) close(fd);
        }
    } closer{standardInput ? -1 : fd};
    if (IsDirectory(fd)) {
        std::fprintf(stderr, "vessane-cli: impossible de lire %s : %s\n", args.batch,
                     vessane::cli::SystemErrorText(EISDIR));
        return 2;
    }

    // Before the temporary file exists: a stop always finds it, and removes it.
    vessane::cli::CatchStopSignals();
    vessane::cli::OutputFile file;
    if (args.output) {
        if (vessane::cli::IsSameFile(fd, args.output)) {
            std::fprintf(stderr, "vessane-cli: %s est le fichier lu : il ne peut pas être écrit\n",
                         args.output);
            return 2;
        }
        if (!file.Open(args.output)) {
            // Stopped while waiting for a FIFO's reader: a stop, not a failure.
            if (vessane::cli::StopSignal() != 0) return 128 + vessane::cli::StopSignal();
            std::fprintf(stderr, "vessane-cli: impossible d'écrire %s : %s\n", args.output,
                         vessane::cli::SystemErrorText(errno));
            return 1;
        }
    }
    const std::uint64_t size = RegularFileSize(fd);
    std::optional<vessane::cli::ProgressLine> progress;
    // Not over rows shown on the same terminal.
    if (!args.quiet && IsTerminal(stderr) && (args.output || !IsTerminal(stdout))) {
        progress.emplace(stderr, size);
    }

    vessane::cli::BatchOptions options;
    options.jobs = args.jobs > 0 ? args.jobs : vessane::cli::AvailableProcessors();
    options.progress = progress ? &*progress : nullptr;
    options.stopAtRowBoundary = !args.output;  // a stopped run's file is removed anyway
    options.delimiter = args.delimiter;
    options.decimal = args.decimal;
    options.headerNotice = !args.quiet;
    options.defaults = args.defaults;
    options.unit = args.unitText;
    options.years = args.yearsText;
    options.score2 = args.score2;
    options.region = args.region;
    vessane::cli::FdSource source(fd);
    vessane::cli::FdSink sink(args.output ? file.fd() : 1);
    using vessane::cli::BatchEnd;
    const BatchEnd end = vessane::cli::RunBatch(
        source, sink, stderr, standardInput ? "entrée standard" : args.batch, options);
    const char* const where = args.output ? args.output : "la sortie standard";
    switch (end) {
        case BatchEnd::kComplete:
            if (args.output && !file.Commit()) {
                std::fprintf(stderr, "vessane-cli: erreur d'écriture dans %s : %s\n", where,
                             vessane::cli::SystemErrorText(errno));
                return 1;
            }
            return 0;
        case BatchEnd::kStopped:
            return 128 + vessane::cli::StopSignal();
        case BatchEnd::kReadError:
        case BatchEnd::kRefused:
            return 2;
        case BatchEnd::kWriteError:
            // A reader that went away (a closed pipe) ends the program quietly.
            if (sink.errorNumber() != EPIPE) {
                std::fprintf(stderr, "vessane-cli: erreur d'écriture %s%s : %s\n",
                             args.output ? "dans " : "sur ", where,
                             vessane::cli::SystemErrorText(sink.errorNumber()));
            }
            return 1;
        default:
            return 1;
    }
}

// Output that could not be written is a failure, never a result: say so and do not exit
// with 0. A reader that went away (a closed pipe) ends the program quietly.
int CheckStandardOutput(int status) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    if (errno != EPIPE) {
        std::fprintf(stderr, "vessane-cli: erreur d'écriture sur la sortie standard : %s\n",
                     vessane::cli::SystemErrorText(errno));
    }
    return status == 0 ? 1 : status;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    int status = Parse(argc, argv, args);
    if (status < 0) status = args.batch ? RunBatchFile(args) : RunOne(args);
    return CheckStandardOutput(status);
}
