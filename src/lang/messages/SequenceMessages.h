#pragma once

#include "base/Text.h"

// Sequence files (.fseq): the reader's refusals, the writer's, the export and import
// operations and their commands, and the words `info` describes such a file with.

namespace corv::msg::seq {

// Reading: %1 is the file as the user named it (or the system's "PATH: reason").
inline constexpr Text kCannotRead{"无法读取序列文件: %1", "Cannot read the sequence file: %1"};
inline constexpr Text kNotSequence{"%1 不是序列文件 (开头不是 PSEQ)", "%1 is not a sequence file (it does not start with PSEQ)"};
// %2 the major version, %3 the minor one.
inline constexpr Text kUnsupportedVersion{"%1: 不支持序列文件版本 %2.%3 (支持版本 1 和 2)",
                                          "%1: sequence file version %2.%3 is not supported (versions 1 and 2 are)"};
// %2 the compression number.
inline constexpr Text kUnsupportedCompression{"%1: 不支持压缩方式 %2 (支持 0 不压缩、1 zstd、2 zlib)",
                                              "%1: compression %2 is not supported (0 none, 1 zstd, 2 zlib are)"};
// %2 the bytes the header needs, %3 the file's size.
inline constexpr Text kHeaderCutShort{"%1 不完整: 文件头需要 %2 字节, 文件只有 %3 字节",
                                      "%1 is cut short: its header needs %2 bytes, the file has %3"};
// %2 where the variable headers start, %3 where the channel data starts, %4 the bytes the
// fixed header, block index and sparse ranges take, %5 the file's size.
inline constexpr Text kBadOffsets{"%1 已损坏: 可变头位于 %2、通道数据位于 %3, 与固定头、块索引和稀疏区段的 %4 字节及文件的 %5 字节不符",
                                  "%1 is damaged: variable headers at %2 and channel data at %3 do not fit the %4 bytes "
                                  "of fixed header, block index and sparse ranges and the file of %5 bytes"};
inline constexpr Text kNoChannels{"%1 已损坏: 每帧没有通道", "%1 is damaged: its frames have no channels"};
// %2 the frames, %3 the channels a frame, %4 the bytes they need, %5 the bytes there.
inline constexpr Text kDataCutShort{"%1 不完整: %2 帧 x %3 个通道需要 %4 字节通道数据, 文件只有 %5 字节",
                                    "%1 is cut short: %2 frames of %3 channels need %4 bytes of channel data, the file "
                                    "has %5"};
// %2 the block (0-based), %3 its first frame.
inline constexpr Text kBadBlockIndex{"%1 已损坏: 块索引第 %2 项 (首帧 %3) 与前后各项或帧数不符",
                                     "%1 is damaged: entry %2 of the block index (first frame %3) does not follow the "
                                     "others or the frame count"};
inline constexpr Text kNoBlockIndex{"%1 已损坏: 压缩的通道数据没有块索引",
                                    "%1 is damaged: its compressed channel data has no block index"};
// %2 the bytes the blocks take from the start of the channel data, %3 the bytes there.
inline constexpr Text kBlocksCutShort{"%1 不完整: 各块共 %2 字节, 通道数据之后只有 %3 字节",
                                      "%1 is cut short: its blocks take %2 bytes, the file has %3 after the start of the "
                                      "channel data"};
// %2 the block, %3 the bytes of channels it claims, %4 its compressed bytes.
inline constexpr Text kImplausibleBlock{"%1 已损坏: 第 %2 块声称由 %4 字节压缩数据得到 %3 字节通道数据",
                                        "%1 is damaged: block %2 claims %3 bytes of channels from %4 compressed bytes"};
// %2 the block, %3 its frames, %4 the channels a frame.
inline constexpr Text kBadBlock{"%1 已损坏: 第 %2 块解压后不是 %3 帧 x %4 个通道",
                                "%1 is damaged: block %2 does not decompress to %3 frames of %4 channels"};
// %2 the channels the ranges hold, %3 the channels the header gives.
inline constexpr Text kBadRanges{"%1 已损坏: 稀疏区段共有 %2 个通道, 文件头记载 %3 个",
                                 "%1 is damaged: its sparse ranges hold %2 channels, its header says %3"};
// %2 the byte where the header starts.
inline constexpr Text kBadVariableHeader{"%1 已损坏: 位于第 %2 字节的可变头超出了通道数据的起点",
                                         "%1 is damaged: the variable header at byte %2 runs past the start of the channel "
                                         "data"};
// %2 the frame asked for (0-based), %3 the frames there.
inline constexpr Text kNoSuchFrame{"%1 中没有第 %2 帧 (共 %3 帧)", "%1 has no frame %2 (it holds %3)"};

// Writing: %1 the system's "PATH: reason".
inline constexpr Text kCannotWrite{"无法写入序列文件: %1", "Cannot write the sequence file: %1"};
// What was wrong with the header asked for; %1 the file.
inline constexpr Text kOptionVersion{"%1: 序列文件的版本只能是 1 或 2", "%1: a sequence file's version is 1 or 2"};
inline constexpr Text kOptionV1Compressed{"%1: 版本 1 的序列文件不压缩", "%1: version 1 sequence files are not compressed"};
inline constexpr Text kOptionV1Sparse{"%1: 版本 1 的序列文件没有稀疏区段", "%1: version 1 sequence files have no sparse ranges"};
// %2 the step asked for, %3 the largest.
inline constexpr Text kOptionStep{"%1: 帧间隔 %2 毫秒不在 1..%3 之内", "%1: a step of %2 ms is outside 1..%3"};
inline constexpr Text kOptionNoChannels{"%1: 每帧至少要有一个通道", "%1: a frame needs at least one channel"};
inline constexpr Text kOptionRanges{"%1: 稀疏区段 (最多 255 个, 各在通道 0..16777215 之内) 的通道总数须等于每帧通道数",
                                    "%1: the sparse ranges (at most 255, each inside channels 0..16777215) must hold "
                                    "the channels of a frame"};
inline constexpr Text kOptionVariableHeader{"%1: 可变头的代码须为两个字符, 各头与固定头共不超过 65535 字节",
                                            "%1: variable headers need two-character codes and must fit 65535 bytes "
                                            "with the fixed header"};
inline constexpr Text kOptionLevel{"%1: 压缩级别不在允许范围内 (zstd 1..22, zlib 1..9)",
                                   "%1: the compression level is outside zstd 1..22, zlib 1..9"};
inline constexpr Text kOptionTooLarge{"%1: 每块的通道数据会超过 1 GiB", "%1: a block's channel data would pass 1 GiB"};
// %2 the channels given, %3 the channels a frame.
inline constexpr Text kWrongFrameSize{"%1: 给出的帧有 %2 个通道, 文件每帧 %3 个", "%1: a frame of %2 channels for a file of %3"};
// %2 the frames written, %3 the frames declared.
inline constexpr Text kFrameCountDiffers{"%1: 写入了 %2 帧, 文件头声明 %3 帧", "%1: %2 frames written, the header declares %3"};
// %2 the block.
inline constexpr Text kCompressFailed{"%1: 第 %2 块无法压缩", "%1: block %2 could not be compressed"};

// The export and import operations.
// %1 the network description, %2 the section number asked for, %3 the sections it has.
inline constexpr Text kNoSuchController{"%1 中没有 [Controller%2] (有: %3)", "%1 has no [Controller%2] (it has %3)"};
// %1 the controller's section (or "layout"), %2 its lines.
inline constexpr Text kNoChannelsToExport{"[%1] 的线路 %2 上没有灯, 没有可写的通道",
                                          "[%1]: lines %2 hold no LED, so there are no channels to write"};
inline constexpr Text kLayoutNoChannels{"布局的线路上没有灯, 没有可写的通道", "the layout's lines hold no LED, so there are no channels to write"};
// %1 the channels, %2 the most a file takes.
inline constexpr Text kTooManyChannels{"%1 个通道超出了序列文件的上限 %2", "%1 channels are more than a sequence file takes (%2)"};
// %1 the controller's section.
inline constexpr Text kTooManyRanges{"[%1] 的通道在整个布局中分成的区段超过 255 个, 或超出通道 16777215",
                                     "[%1]: its channels lie in more than 255 ranges of the whole layout, or past channel "
                                     "16777215"};
inline constexpr Text kSparseNeedsNet{"--sparse 需要 --net NAME.net", "--sparse needs --net NAME.net"};
inline constexpr Text kControllerNeedsNet{"--controller 需要 --net NAME.net", "--controller needs --net NAME.net"};
// %1 the file, %2 the channels a frame of the file reaches, %3 the layout's channels.
inline constexpr Text kChannelsDiffer{"%1 每帧有 %2 个通道, 布局有 %3 个: 只导入两者共有的部分",
                                      "%1 has %2 channels a frame, the layout %3: the channels both have are imported"};
// %1 the frames, %2 the megabytes they take.
inline constexpr Text kImportTooLarge{"%1 帧将占用 %2 MB 内存, 超过了可用内存的一半",
                                      "%1 frames would take %2 MB, more than half of the memory"};
// %1 the clip's frame size "W x H".
inline constexpr Text kImportSizeDiffers{"--width 和 --height 只用于新文档; 该场景的帧为 %1",
                                         "--width and --height are for a new document; the clip's frames are %1"};

// corvantine-cli export-fseq and import-fseq.
inline constexpr Text kNeedsDocumentAndOutput{"需要 DOC.cvn 和 OUT.fseq", "needs DOC.cvn and OUT.fseq"};
inline constexpr Text kNeedsOneSequence{"需要恰好一个序列文件", "needs exactly one sequence file"};
inline constexpr Text kCompressionChoices{"--compression 只能是 zstd、zlib 或 none", "--compression takes zstd, zlib or none"};
inline constexpr Text kVersionChoices{"--version 只能是 1 或 2", "--version takes 1 or 2"};
inline constexpr Text kV1NotCompressed{"版本 1 的文件不压缩: 请去掉 --compression 或用 none",
                                       "version 1 files are not compressed: leave out --compression or give none"};
inline constexpr Text kLevelNeedsCompression{"--level 需要 --compression zstd 或 zlib",
                                             "--level needs --compression zstd or zlib"};
// %1 the input it would replace.
inline constexpr Text kOutputIsInput{"输出文件不能是输入文件 %1", "the output may not be the input %1"};
// %1 the frames, %2 the channels a frame, %3 the file.
inline constexpr Text kExported{"已写入 %3: %1 帧, 每帧 %2 个通道", "%3: %1 frames of %2 channels written"};
// %1 the frames, %2 the clip (1-based), %3 the document, %4 the frame size "W x H".
inline constexpr Text kImported{"已导入 %1 帧到 %3 的场景 %2 (%4)", "%1 frames imported into clip %2 of %3 (%4)"};

// What `info` says of a sequence file.
inline constexpr Text kSequenceFile{"序列文件", "sequence file"};
inline constexpr Text kChannelsLabel{"通道:", "Channels:"};
inline constexpr Text kFramesLabel{"帧:", "Frames:"};
inline constexpr Text kStepLabel{"帧间隔:", "Step:"};
inline constexpr Text kCompressionLabel{"压缩:", "Compression:"};
inline constexpr Text kBlocksLabel{"块:", "Blocks:"};
inline constexpr Text kRangesLabel{"稀疏区段:", "Ranges:"};
inline constexpr Text kHeadersLabel{"可变头:", "Headers:"};
inline constexpr Text kUniqueIdLabel{"唯一标识:", "Unique id:"};
// %1 the channels a frame.
inline constexpr Text kChannelsPerFrame{"每帧 %1 个", "%1 a frame"};
// %1 the step in ms, %2 the frames a second.
inline constexpr Text kStepValue{"%1 毫秒 (每秒 %2 帧)", "%1 ms (%2 frames a second)"};
// %1 the blocks, %2 the entries of the index.
inline constexpr Text kBlocksValue{"%1 块 (索引 %2 项)", "%1 (%2 index entries)"};
inline constexpr Text kNone{"无", "none"};

}  // namespace corv::msg::seq
