#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Harness.h"

namespace corv::fuzz {

// Every reader under test. Each maker writes its valid inputs with the project's own writers
// into `scratch` (a private folder that outlives the target) and returns the reader.
using TargetMaker = Target (*)(const std::filesystem::path& scratch);

// ReadDocument, then the clip reader; the same for RAR-compressed documents.
Target MakeDocumentTarget(const std::filesystem::path& scratch);
Target MakeCompressedDocumentTarget(const std::filesystem::path& scratch);
// ParseLineFile, LoadLineFile.
Target MakeLineFileTarget(const std::filesystem::path& scratch);
// ReadLedInfo, ImportLedFile.
Target MakeControllerFileTarget(const std::filesystem::path& scratch);
// ModuleList Load and Import.
Target MakeDisplayModuleTarget(const std::filesystem::path& scratch);
// ReadPinSet, LoadLampTypes.
Target MakeLampTypeTarget(const std::filesystem::path& scratch);
// ChipCatalogue::Load.
Target MakeCatalogueTarget(const std::filesystem::path& scratch);
// ProfileFile reads and writes.
Target MakeProfileTarget(const std::filesystem::path& scratch);
// ReadDxf, the suggested spacing, the picture; ImportDxf of what was read.
Target MakeDxfTarget(const std::filesystem::path& scratch);
Target MakeDxfImportTarget(const std::filesystem::path& scratch);

struct NamedMaker {
    const char* name;
    TargetMaker make;
};
const std::vector<NamedMaker>& AllTargets();

}  // namespace corv::fuzz
