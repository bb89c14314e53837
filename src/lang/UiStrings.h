#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corv {

// One name list of the effect generators: a fixed capacity, names from the start, the rest
// empty. Readers stop at the first empty entry (or read a full list by count).
struct EffectTypeNames {
    std::size_t capacity = 0;
    std::vector<std::string> entries;  // always `capacity` long

    // The names up to the first empty entry.
    std::vector<std::string> Names() const;
};

inline constexpr std::array<std::size_t, 8> kEffectTypeCapacities = {11, 7, 3, 7, 5, 8, 3, 6};

// The language-dependent texts built in code, one per message key, and the eight effect
// generator name lists.
struct UiStrings {
    std::array<EffectTypeNames, 8> effectTypeNames;

    std::string tabDesign;
    std::string tabColor;
    std::string tabSphere;
    std::string tabTool;
    std::string tabSculpt;
    std::string askSave;
    std::string askDeleteZone;
    std::string askPasteSize;
    std::string paramError;
    std::string askModelName;
    std::string frameOfTotal;
    std::string captureSizeWarn;
    std::string outputDone;
    // The detail under it: a file written (path, frames, bytes), and the card.
    std::string outputFileLine;
    std::string outputCardNotSearched;
    std::string outputNoCard;
    std::string outputCardWritten;
    std::string outputCardSkipped;
    std::string frameCount;
    std::string zone;
    std::string askModuleRename;
    std::string badFileVersion;
    std::string widthHeight;
    // A document whose header gives the first clip another size than the clip has (%d x %d
    // from the header, then the clip's).
    std::string headerCopyDiffers;
    // A clip's line file is not where the document says; the one of that name beside the
    // document is used (%d the clip number, %s the stored path, %s the path used).
    std::string lineFileBeside;
    std::string linePixel;
    std::string pinError;
    std::string saveOk;
    std::string deleteOk;
    std::string askRestartSkin;
    std::string noPicText;
    std::string noLayout;
    std::string ledFileUnsupported;
    // A generator run asked for with no colour in the list.
    std::string colourListEmpty;
    // Colour processing: the layout's grid (%d cols x %d rows) is not the frames' size (%d x %d).
    std::string layoutFramesDiffer;
    // DXF import refusals and warnings of the sculpt window's "Import File" (%d values).
    std::string dxfNotDrawing;
    std::string dxfNoLines;
    std::string dxfNoCircles;
    std::string dxfTooLarge;        // spacing %d x %d, then the grid limit text (%s)
    std::string dxfNothingBecameLed;
    std::string dxfPictureTooSmall;
    std::string dxfSharedCells;     // shared, LEDs, spacing x, spacing y
    // A grid of %lld rows x %lld cols has %lld cells; the program takes at most %llu.
    std::string gridLimit;
    // String-table text of the clip selector entries, with the 1-based clip number.
    std::string sceneFormat;

    // Buttons of message boxes and dialogs.
    std::string buttonOk;
    std::string buttonCancel;
    std::string buttonYes;
    std::string buttonNo;
    std::string buttonClose;
    // "Select frame range" (the frames "Supplemental" appends).
    std::string rangeTitle;
    std::string rangeStart;
    std::string rangeEnd;
    std::string rangeFirst;
    std::string rangeLast;
    std::string cvnFilter;
    // "Setting size" of a new document; sizeLimit takes the largest side (%d).
    std::string sizeTitle;
    std::string sizeWidth;
    std::string sizeHeight;
    std::string sizeScale;
    std::string sizeLimit;
    // The About box; aboutText takes the version (%s).
    std::string aboutTitle;
    std::string aboutText;
};

// One row of the message table.
struct UiStringEntry {
    const char* key;
    std::string UiStrings::*member;
    const char* chinese;
    const char* english;
    bool glyphsOnly;  // takes the glyph-only conversion in Traditional Chinese
};

// Every message key with its Chinese and English text.
const std::vector<UiStringEntry>& UiStringTable();
// The texts of dialogs and buttons, in the same form.
const std::vector<UiStringEntry>& DialogTextTable();

// The Chinese and English names of effect list `list` (0..7).
const std::vector<const char*>& EffectTypeNamesChinese(std::size_t list);
const std::vector<const char*>& EffectTypeNamesEnglish(std::size_t list);

// Fills the texts for a language code: 1 Chinese, 2 Chinese in Traditional characters,
// anything else English.
UiStrings LoadUiStrings(std::uint8_t language);

// Texts that exist in every language in this one form.
namespace texts {
inline constexpr const char* kSaveFileFail = "Save file fail!";
inline constexpr const char* kOpenFileFail = "Open file fail!";
inline constexpr const char* kConfigNotWritable =
    "Software installation directory can not write configuration files.";
}  // namespace texts

// printf-style formatting of the %d/%s message texts.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace corv
