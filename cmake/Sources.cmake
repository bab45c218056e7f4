# Source lists shared by both builds, one per level of src/ (see src/README.md): the base
# that everything shares, the features above it, the program's spine on top.

# Logic with no operating system underneath: compiled into the product and, natively,
# into the sanitizer tests.
set(KELVARIN_PURE_SOURCES
  # base
  src/base/text.cpp
  src/base/sjis.cpp
  src/base/settings_codec.cpp
  src/base/hotkey_codec.cpp
  src/base/placement.cpp
  # features
  src/display/mode_catalogue.cpp
  src/display/mode_menu_layout.cpp
  src/wallpaper/wallpaper_style.cpp
  src/tools/loupe_geometry.cpp
  src/tools/curinf_text.cpp
  src/capture/bmp_format.cpp
  src/capture/screen_copy.cpp
  src/dialogs/dialog_text.cpp
)

# Thin Win32 adapters.
set(KELVARIN_WIN32_SOURCES
  # base
  src/base/settings.cpp
  src/base/winutil.cpp
  src/base/app_class.cpp
  src/base/system_path.cpp
  # features
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
  # app: the spine
  src/app/tray.cpp
  src/app/hotkeys.cpp
  src/app/main_window.cpp
)

# The program's entry point and its own start-up in place of the C runtime's.
set(KELVARIN_MAIN_SOURCE src/app/main.cpp src/app/crt.cpp)
set(KELVARIN_RESOURCE res/Kelvarin.rc)
