// Compiled only into the core library: fails the build if Qt ever reaches it.
#if defined(QT_CORE_LIB) || defined(QT_VERSION) || defined(QT_GUI_LIB) || defined(QT_WIDGETS_LIB)
#error "korvex_core must stay free of Qt"
#endif
