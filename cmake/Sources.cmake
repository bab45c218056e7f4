# Source lists shared by both builds.

# Logic with no operating system underneath: compiled into the product and, natively,
# into the sanitizer tests.
set(KELVARIN_PURE_SOURCES
  src/app/text.cpp
  src/app/sjis.cpp
  src/app/settings_codec.cpp
  src/app/hotkey_codec.cpp
  src/app/placement.cpp
  src/display/mode_catalogue.cpp
  src/display/mode_menu_layout.cpp
  src/wallpaper/wallpaper_style.cpp
  src/tools/loupe_geometry.cpp
  src/capture/bmp_format.cpp
  src/dialogs/dialog_text.cpp
)

# Thin Win32 adapters.
set(KELVARIN_WIN32_SOURCES
  src/app/settings.cpp
  src/app/winutil.cpp
  src/app/app_class.cpp
  src/app/tray.cpp
  src/app/hotkeys.cpp
  src/app/main_window.cpp
  src/app/system_path.cpp
  src/display/display_modes.cpp
  src/display/resolution_menu.cpp
  src/wallpaper/wallpaper.cpp
  src/tools/loupe.cpp
  src/tools/curinf.cpp
  src/capture/bmp_writer.cpp
  src/capture/capture.cpp
  src/dialogs/dialog_util.cpp
  src/dialogs/link_label.cpp
  src/dialogs/settings_dialog.cpp
  src/dialogs/about_box.cpp
)

# The program's entry point and its own start-up in place of the C runtime's.
set(KELVARIN_MAIN_SOURCE src/app/main.cpp src/app/crt.cpp)
set(KELVARIN_RESOURCE res/Kelvarin.rc)
