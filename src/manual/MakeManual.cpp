// Build tool: turns the Markdown user manual into the PDF the Help menu opens.
//   corv-make-manual MANUAL.md OUT.pdf
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
    // No display is needed: the fonts come through fontconfig.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: corv-make-manual MANUAL.md OUT.pdf\n");
        return 2;
    }
    QFile in(args[1]);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "corv-make-manual: %s: %s\n", qPrintable(args[1]), qPrintable(in.errorString()));
        return 1;
    }
    const QString markdown = QString::fromUtf8(in.readAll());

    QTextDocument document;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    document.setDefaultFont(font);
    document.setDefaultStyleSheet(QStringLiteral("table { border-collapse: collapse; } td, th { padding: 3px; }"));
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);

    // Written beside the target and renamed: a failed run never leaves half a manual.
    const QString partial = args[2] + QStringLiteral(".part");
    {
        QPdfWriter writer(partial);
        writer.setTitle(QStringLiteral("Corvantine user manual"));
        writer.setCreator(QStringLiteral("Corvantine"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 16, 18, 16),
                                         QPageLayout::Millimeter));
        writer.setResolution(300);
        document.print(&writer);
    }
    if (QFileInfo(partial).size() == 0) {
        std::fprintf(stderr, "corv-make-manual: nothing was written to %s\n", qPrintable(partial));
        QFile::remove(partial);
        return 1;
    }
    QFile::remove(args[2]);
    if (!QFile::rename(partial, args[2])) {
        std::fprintf(stderr, "corv-make-manual: cannot write %s\n", qPrintable(args[2]));
        QFile::remove(partial);
        return 1;
    }
    return 0;
}
