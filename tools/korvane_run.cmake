add_executable(korvane-run korvane_run.cpp console_host.cpp)
target_link_libraries(korvane-run PRIVATE korvane_engine korvane_host korvane_net korvane_serial korvane_racks_ui Qt6::Widgets)
korvane_warnings(korvane-run)
