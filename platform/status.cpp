#include "platform/status.h"

#include <cerrno>

namespace zarnoft {

Status Status::FromErrno(int error) {
  Status s;
  s.error_ = error;
  s.missing_ = error == ENOENT || error == ENOTDIR;
  return s;
}

Status Status::Missing() {
  return FromErrno(ENOENT);
}

Status Status::Replaced() {
  Status s;
  s.error_ = kReplaced;
  return s;
}

std::string Status::Reason() const {
  if (replaced()) return kVerzeichnisErsetzt;
  return ok() ? std::string() : ErrnoText(error_);
}

std::string ErrnoText(int error) {
  // The reasons a file operation meets in practice, worded as the German system messages are.
  switch (error) {
    case 0:
      return "";
    case EPERM:
      return "Die Operation ist nicht erlaubt";
    case ENOENT:
      return "Datei oder Verzeichnis nicht gefunden";
    case EIO:
      return "Eingabe-/Ausgabefehler";
    case ENXIO:
      return "Kein solches Gerät oder keine solche Adresse";
    case EBADF:
      return "Ungültiger Dateideskriptor";
    case EAGAIN:
      return "Die Datei ist von einem anderen Vorgang belegt";
    case ENOMEM:
      return "Nicht genügend Hauptspeicher verfügbar";
    case EACCES:
      return "Keine Berechtigung";
    case EBUSY:
      return "Das Gerät oder die Ressource ist belegt";
    case EEXIST:
      return "Die Datei existiert bereits";
    case EXDEV:
      return "Ungültiger Link über Gerätegrenzen hinweg";
    case ENODEV:
      return "Kein passendes Gerät gefunden";
    case ENOTDIR:
      return "Ist kein Verzeichnis";
    case EISDIR:
      return "Ist ein Verzeichnis";
    case EINVAL:
      return "Das Argument ist ungültig";
    case ENFILE:
      return "Zu viele offene Dateien im System";
    case EMFILE:
      return "Zu viele offene Dateien";
    case ETXTBSY:
      return "Die Programmdatei ist in Benutzung";
    case EFBIG:
      return "Die Datei ist zu groß";
    case ENOSPC:
      return "Auf dem Gerät ist kein Speicherplatz mehr verfügbar";
    case EROFS:
      return "Das Dateisystem ist nur lesbar";
    case EMLINK:
      return "Zu viele Links";
    case ENAMETOOLONG:
      return "Der Dateiname ist zu lang";
    case ENOTEMPTY:
      return "Das Verzeichnis ist nicht leer";
    case ELOOP:
      return "Zu viele Ebenen aus symbolischen Links";
    case EOVERFLOW:
      return "Der Wert ist zu groß für den Datentyp";
    case EDQUOT:
      return "Der zugewiesene Plattenplatz (Quota) ist überschritten";
    case ESTALE:
      return "Veraltete Dateizugriffsnummer (file handle)";
    case EOPNOTSUPP:
      return "Die Operation wird nicht unterstützt";
    case ETIMEDOUT:
      return "Die Wartezeit ist abgelaufen";
    case EINTR:
      return "Unterbrechung während des Betriebssystemaufrufs";
    case ENOTCONN:
      return "Das Laufwerk ist nicht verbunden";
    case EILSEQ:
      return "Der Name ist auf diesem Dateisystem ungültig";
    case ESPIPE:
      return "Unzulässige Positionierung";
    default:
      return "Systemfehler " + std::to_string(error);
  }
}

}  // namespace zarnoft
