#include "ui/window/studio_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include "serial/port_map.h"
#include "ui/qt/display_text.h"

namespace tvx {

Result<StudioOptions> ParseStudioOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "The TVX880 floor indicator designer: design the screens, build the ROM image and upload "
      "it over a serial port.");
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption home(
      "home", "The program home (the folder with DPW880.INI, T880_PCGLB.GLB, DefaultImageR1).",
      "DIR");
  const QCommandLineOption port("port", "The port selected at start: COMn or a device path.",
                                "PORT");
  const QCommandLineOption map(
      "map", "Map a port number to a device first, e.g. COM1=/dev/ttyUSB1 (repeatable).",
      "COMn=PATH");
  parser.addPositionalArgument("PROJECT", "A project file (.ql3) to load at start.", "[PROJECT]");
  parser.addOption(home);
  parser.addOption(port);
  parser.addOption(map);
  if (!parser.parse(arguments)) {
    return Error::Invalid({}, parser.errorText().toStdString());
  }
  StudioOptions options;
  if (parser.isSet(help) || parser.isSet(version)) {
    options.helpText =
        parser.isSet(help)
            ? parser.helpText()
                  .replace("<executable_name>", QCoreApplication::applicationName())
                  .toStdString()
            : (QCoreApplication::applicationName() + " " + QCoreApplication::applicationVersion())
                  .toStdString();
    options.helpShown = true;
    return options;
  }
  const QStringList positional = parser.positionalArguments();
  if (positional.size() > 1) {
    return Error::Stated(positional[1].toStdString(),
                         {"多餘的參數 \"%s\"", "unexpected argument \"%s\""});
  }
  if (!positional.isEmpty()) {
    options.project = StoragePath(positional.front());
  }
  if (parser.isSet(home)) {
    options.home = StoragePath(parser.value(home));
  }
  if (parser.isSet(port)) {
    options.port = StoragePath(parser.value(port));
    TVX_TRY(platform::RequirePortName(*options.port));
  }
  platform::PortMap scratch(platform::SystemDeviceRoots{"", ""});
  for (const QString& mapping : parser.values(map)) {
    TVX_TRY(scratch.addMapping(StoragePath(mapping)));
    options.portMappings.push_back(StoragePath(mapping));
  }
  return options;
}

}  // namespace tvx
