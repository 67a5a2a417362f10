tellavo_test(test_net_settings
  test_settings.cpp test_settings_proxy.cpp test_scramble.cpp test_cfghandler.cpp
  LIBS tellavo_core_net)
