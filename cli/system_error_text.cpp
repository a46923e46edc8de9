#include "system_error_text.h"

#include <cerrno>

namespace vessane::cli {

const char* SystemErrorText(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
            return "fichier ou dossier introuvable";
        case EACCES:
        case EPERM:
            return "permission refusée";
        case EISDIR:
            return "c'est un dossier, pas un fichier";
        case ENOTDIR:
            return "un élément du chemin n'est pas un dossier";
        case ENOSPC:
            return "plus de place sur le disque";
        case EROFS:
            return "système de fichiers en lecture seule";
        case EEXIST:
            return "le fichier existe déjà";
        case ENAMETOOLONG:
            return "nom de fichier trop long";
#ifdef ELOOP
        case ELOOP:
            return "trop de liens symboliques";
#endif
        case EMFILE:
        case ENFILE:
            return "trop de fichiers ouverts";
        case EIO:
            return "erreur d'entrée-sortie";
        case EPIPE:
            return "le lecteur a fermé le tube";
        case ENXIO:
            return "aucun lecteur à l'autre bout";
        case EBUSY:
            return "ressource occupée";
        case EXDEV:
            return "le fichier et son dossier temporaire sont sur des disques différents";
#ifdef EDQUOT
        case EDQUOT:
            return "quota de disque dépassé";
#endif
        case EFBIG:
            return "fichier trop grand";
        case EINVAL:
            return "opération invalide pour ce fichier";
        default:
            return "erreur du système";
    }
}

}  // namespace vessane::cli
