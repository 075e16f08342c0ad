// brimwald-ripper [FOLDER | FILE]: opens the window on FOLDER, or on FILE's
// folder with FILE chosen, or on the current folder; runs until it is
// closed. --help and --version answer without a display.

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <variant>

#include "app/qt/main_window.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Where the window opens.
struct Place {
  std::string folder;  // bytes, as the system names it; "" for the current
  std::optional<std::string> file;  // a bare name inside `folder`
};

std::filesystem::path NativePath(const std::string& bytes) {
#ifdef _WIN32
  return std::filesystem::path(
      std::u8string(bytes.begin(), bytes.end()));  // the core's UTF-8
#else
  return std::filesystem::path(bytes);
#endif
}

std::string Bytes(const std::filesystem::path& path) {
#ifdef _WIN32
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
#else
  return path.string();
#endif
}

// The argument `argument` as the system gave it: Qt decodes argv as UTF-8,
// which loses a name that isn't valid UTF-8, so the bytes come from argv.
std::string ArgumentBytes(const QString& argument, int argc, char** argv) {
#ifndef _WIN32
  for (int i = 1; i < argc; ++i) {
    if (QString::fromLocal8Bit(argv[i]) == argument) return argv[i];
  }
#else
  (void)argc;
  (void)argv;
#endif
  return argument.toUtf8().toStdString();
}

int UsageError(const QString& why) {
  std::fprintf(stderr,
               "brimwald-ripper: %s\nRun with --help for more information.\n",
               qPrintable(why));
  return kExitUsage;
}

// FOLDER or FILE, or nullopt after printing why neither.
std::optional<Place> PlaceOf(const std::string& argument) {
  std::filesystem::path path = NativePath(argument);
  std::error_code error;
  std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error) {
    std::fprintf(stderr, "brimwald-ripper: cannot open '%s': %s\n",
                 argument.c_str(), error.message().c_str());
    return std::nullopt;
  }
  if (std::filesystem::is_directory(status)) return Place{argument, {}};
  return Place{Bytes(path.parent_path()), Bytes(path.filename())};
}

// Whether Qt will find a display to open the window on. Platforms that need
// no display server (offscreen, the one tests use, vnc, eglfs...) count as
// one; xcb needs DISPLAY and wayland WAYLAND_DISPLAY.
bool HasDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
  const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
  const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  const QString platforms = qEnvironmentVariable("QT_QPA_PLATFORM");
  if (platforms.isEmpty()) return x11 || wayland;
  // A ";"-separated list tried in turn, each with ":options".
  for (const QString& platform : platforms.split(u';', Qt::SkipEmptyParts)) {
    const QString name = platform.section(u':', 0, 0).trimmed();
    if (name == u"xcb") {
      if (x11) return true;
    } else if (name.startsWith(u"wayland")) {
      if (wayland) return true;
    } else {
      return true;
    }
  }
  return false;
#else
  return true;
#endif
}

// What the arguments ask for: the place to open the window on, or the exit
// status when they are answered without a window (--help, --version, an
// error).
std::variant<Place, int> Parse(int argc, char** argv) {
  // The window's application needs a display, this one doesn't.
  QCoreApplication parsing(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Opens the window on FOLDER's .str containers, or on FILE's folder\n"
      "with FILE chosen and inspected, or on the current folder."));
  // Not addHelpOption(), whose --help-all would list Qt's own options,
  // which this early parse doesn't take.
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Displays this help."));
  parser.addOption(help);
  // -v, -V and --version, as the command-line programs take them.
  const QCommandLineOption version(
      {QStringLiteral("v"), QStringLiteral("V"), QStringLiteral("version")},
      QStringLiteral("Displays version information."));
  parser.addOption(version);
  parser.addPositionalArgument(QStringLiteral("FOLDER | FILE"),
                               QStringLiteral("where the window opens"),
                               QStringLiteral("[FOLDER | FILE]"));
  if (!parser.parse(QCoreApplication::arguments())) {
    return UsageError(parser.errorText());
  }
  if (parser.isSet(help)) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return kExitOk;
  }
  if (parser.isSet(version)) {
    std::printf("brimwald-ripper %s\n", BRIMWALD_VERSION);
    return kExitOk;
  }
  const QStringList arguments = parser.positionalArguments();
  if (arguments.size() > 1) {
    return UsageError(
        QStringLiteral("too many arguments: give one FOLDER or FILE"));
  }
  if (arguments.isEmpty()) return Place{};
  std::optional<Place> place =
      PlaceOf(ArgumentBytes(arguments.front(), argc, argv));
  if (!place) return kExitFailed;
  return *place;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("brimwald-ripper"));
  QCoreApplication::setApplicationVersion(QStringLiteral(BRIMWALD_VERSION));
  std::variant<Place, int> parsed = Parse(argc, argv);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  if (!HasDisplay()) {
    std::fputs(
        "brimwald-ripper: no display to open the window on (set DISPLAY or "
        "WAYLAND_DISPLAY); brimwald-ripper-cli works without one\n",
        stderr);
    return kExitFailed;
  }
  const Place& place = std::get<Place>(parsed);

  QApplication app(argc, argv);
  // The design's boxes are measured in pixels for this style's frames.
  QApplication::setStyle(QStringLiteral("Fusion"));
  brimwald::MainWindow window(place.folder);
  window.show();
  if (place.file) window.ChooseFile(*place.file);
  return QApplication::exec();
}
