#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fusebind"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANTINE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Merges controller data files and video project files."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);
    // The merge dialog itself is not built yet.
    return 0;
}
