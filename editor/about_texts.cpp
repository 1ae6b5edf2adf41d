#include "editor/about_texts.h"

#include "platform/program_info.h"
#include "settings/main_settings.h"

namespace zarnoft {

AboutTexte AboutTexteErstellen(const std::string& settings_path, int speicher_version,
                               FileSystem* fs) {
  AboutTexte t;
  const int vprg = VersionLesen(settings_path, fs);
  t.ProductName = ProductData::kName;
  t.Version = std::string(ProductData::kProductVersion) + "." + ProductData::kVersion + "." +
              std::to_string(ProductData::kBuild);
  t.Engine = ProductData::kEngineVersion;
  t.LegalNotice = ProductData::kLegalNotice;
  t.SpecialBuild = ProductData::kSpecialBuild;
  t.Comments = ProductData::kComment;
  t.VPrg = std::to_string(vprg);
  t.VSyncPrg = "(Speichere mit " + std::to_string(speicher_version) + ")";
  return t;
}

std::string VSyncText(int sammlungs_version) {
  return sammlungs_version != 0 ? std::to_string(sammlungs_version) : "Keine Daten geladen ";
}

}  // namespace zarnoft
