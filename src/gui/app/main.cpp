#include "gui/app/ApplicationHandler.h"
#include "gui/app/SettingsDefaults.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QMessageBox>

using namespace korvex;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Korvex"));
    QApplication::setApplicationName(QStringLiteral("Korvex"));
    QApplication::setApplicationVersion(QStringLiteral(KORVEX_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/korvex.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("korvex"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Turns stereo pairs of photographs into anaglyph pictures."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption left(QStringLiteral("left"), QStringLiteral("Open FILE as the left picture of a new document."), QStringLiteral("FILE"));
    const QCommandLineOption right(QStringLiteral("right"), QStringLiteral("Open FILE as the right picture of a new document."), QStringLiteral("FILE"));
    parser.addOption(left);
    parser.addOption(right);
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Pictures to open as documents (each whole, as the left picture)."), QStringLiteral("[files...]"));
    parser.process(app);

    SettingsDefaults defaults;
    DocumentController documents(defaults);
    ApplicationHandler handler(documents);
    QObject::connect(&handler, &ApplicationHandler::terminationApproved, &app, [&documents] {
        // Whatever is still open was reviewed or given up: close it quietly.
        for (MyDocument* document : documents.documents())
            document->closeWithoutAsking();
        QApplication::quit();
    });

    if (parser.isSet(left) || parser.isSet(right)) {
        MyDocument* document = documents.openUntitledDocument();
        if (parser.isSet(left) && parser.isSet(right))
            document->loadPair(parser.value(left), parser.value(right));
        else if (parser.isSet(left))
            document->loadLeft(parser.value(left));
        else
            document->loadRight(parser.value(right));
    }
    for (const QString& path : parser.positionalArguments()) {
        QString error;
        if (!documents.openDocumentWithContentsOfFile(path, true, &error))
            QMessageBox::warning(nullptr, QStringLiteral("Korvex"), error);
    }
    if (documents.documents().isEmpty())
        documents.openUntitledDocument();
    return app.exec();
}
