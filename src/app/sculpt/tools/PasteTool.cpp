#include "app/sculpt/tools/PasteTool.h"

#include <QApplication>
#include <QByteArray>
#include <QClipboard>
#include <QMimeData>
#include <span>

#include "app/common/LinePanelState.h"
#include "base/Prompt.h"
#include "lang/Render.h"
#include "lang/messages/SculptMessages.h"
#include "ops/Layout.h"
#include "workspace/Workspace.h"

namespace corv {

void PasteTool::Click(int col, int row) {
    Workspace& ws = view_.workspace();
    const LinePanelState& panel = view_.panel();
    const LineClipboard& clipboard = view_.clipboard();
    if (!clipboard.Empty()) {
        ops::PasteLeds(ws, {&clipboard, col, row, panel.currentLine, panel.lineLimit, view_.AllowRepeat(), view_.ActiveMask()},
                       view_.prompt(), {});
        view_.Changed();
        return;
    }
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(QString::fromLatin1(kLayoutDataMime))) return;
    const QByteArray bytes = data->data(QString::fromLatin1(kLayoutDataMime));
    const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    if (PasteLayoutData(ws.layout, std::span(b, static_cast<std::size_t>(bytes.size())), col, row,
                        panel.currentLine) < 0) {
        view_.prompt().Inform(corv::Render(msg::sculpt::kClipboardLinesDamaged, ws.app.language), PromptIcon::Warning);
        return;
    }
    view_.Changed();
}

}  // namespace corv
