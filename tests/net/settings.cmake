tellavo_test(test_net_settings
  test_settings.cpp test_settings_proxy.cpp test_scramble.cpp test_cfghandler.cpp
  LIBS tellavo_core_net)

tellavo_test(test_net_settings_dialogs GUI
  test_connectiondialog.cpp test_proxydialog.cpp
  LIBS tellavo_gui_net Qt6::Test)
