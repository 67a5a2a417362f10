tellavo_test(test_net_request
  test_request_main.cpp test_compress.cpp test_request_format.cpp test_progress_status.cpp
  test_request_exchange.cpp
  LIBS tellavo_core_net)

tellavo_test(test_net_request_gui GUI
  test_progress_dialog.cpp
  LIBS tellavo_gui_net)
