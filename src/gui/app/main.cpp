#include "gui/app/ApplicationHandler.h"
#include "gui/app/LaunchRequest.h"
#include "gui/app/SingleInstance.h"
#include "gui/app/SettingsDefaults.h"
#include "gui/common/NamedComboBoxAccessible.h"
#include "gui/common/Translations.h"
#include "gui/document/DocumentController.h"
#include "gui/document/MyDocument.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLocale>

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

    // A program already running for this user opens the files and comes to
    // the front; this start then ends.
    const OpenRequest request = launchRequest(parser.positionalArguments(), parser.value(left), parser.value(right));
    const QString serverName = SingleInstance::defaultServerName();
    if (SingleInstance::handOver(serverName, request))
        return 0;

    const Translations translations(QLocale::system());
    NamedComboBoxAccessible::install();
    SettingsDefaults defaults;
    DocumentController documents(defaults);
    ApplicationHandler handler(documents);
    QObject::connect(&handler, &ApplicationHandler::terminationApproved, &app, [&documents] {
        // Whatever is still open was reviewed or given up: close it quietly.
        for (MyDocument* document : documents.documents())
            document->closeWithoutAsking();
        QApplication::quit();
    });

    openLaunchRequest(documents, request);
    if (documents.documents().isEmpty())
        documents.openUntitledDocument();

    SingleInstance instance(serverName);
    QObject::connect(&instance, &SingleInstance::openRequested, &documents,
                     [&documents](const OpenRequest& handed) { openLaunchRequest(documents, handed); });
    instance.listen();  // without it this program simply runs alone
    return app.exec();
}
