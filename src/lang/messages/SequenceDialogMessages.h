#pragma once

// The main window's sequence file (.fseq) commands and their dialog.

#include "base/Text.h"

namespace corv::msg::seqdlg {

inline constexpr Text kExportCommand{"导出序列 (FSEQ)...", "Export sequence (FSEQ)..."};
inline constexpr Text kImportCommand{"导入序列 (FSEQ)...", "Import sequence (FSEQ)..."};
inline constexpr Text kExportTitle{"导出序列", "Export sequence"};
inline constexpr Text kImportTitle{"导入序列", "Import sequence"};
inline constexpr Text kFileFilter{"序列文件 (*.fseq)", "Sequence files (*.fseq)"};
inline constexpr Text kFileLabel{"文件:", "File:"};
inline constexpr Text kBrowse{"浏览...", "Browse..."};
inline constexpr Text kFirstFrame{"起始帧:", "First frame:"};
inline constexpr Text kLastFrame{"结束帧:", "Last frame:"};
inline constexpr Text kFps{"每秒帧数:", "Frames a second:"};
inline constexpr Text kVersion{"版本:", "Version:"};
inline constexpr Text kVersion2{"2 (当前的播放器)", "2 (current players)"};
inline constexpr Text kVersion1{"1 (旧的播放器, 不压缩)", "1 (old players, uncompressed)"};
inline constexpr Text kCompression{"压缩:", "Compression:"};
inline constexpr Text kZstd{"zstd", "zstd"};
inline constexpr Text kZlib{"zlib", "zlib"};
inline constexpr Text kNoCompression{"不压缩", "none"};
inline constexpr Text kLevel{"压缩级别:", "Level:"};
inline constexpr Text kDefaultLevel{"默认", "default"};
inline constexpr Text kChannels{"通道:", "Channels:"};
inline constexpr Text kWholeLayout{"整个布线, 一个文件", "The whole layout, one file"};
inline constexpr Text kEachController{"网络描述中的每个控制器各一个文件", "One file for each controller of the network description"};
inline constexpr Text kOneController{"网络描述中的一个控制器", "One controller of the network description"};
inline constexpr Text kController{"控制器:", "Controller:"};
inline constexpr Text kSparse{"只含控制器的通道 (稀疏区段)", "Only the controller's channels (sparse ranges)"};
inline constexpr Text kNoFile{"请给出要写入的文件", "Give the file to write"};
// %1 the files written, %2 the frames.
inline constexpr Text kExportDone{"序列已写入: %1 个文件, 每个 %2 帧", "Sequence written: %1 files of %2 frames"};
inline constexpr Text kImportWhere{"导入的帧:", "The frames:"};
inline constexpr Text kAppendToClip{"添加到当前场景之后", "Appended to the current clip"};
inline constexpr Text kNewDocument{"作为新文档 (布线的大小)", "As a new document (the layout's size)"};
// %1 the frames.
inline constexpr Text kImportDone{"已导入 %1 帧", "%1 frames imported"};

}  // namespace corv::msg::seqdlg
