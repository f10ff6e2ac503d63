add_executable(korvane-run korvane_run.cpp console_host.cpp toolkit_messages.cpp bounded_file.cpp
    junit_report.cpp json_report.cpp runner_options.cpp script_run.cpp stations.cpp)
target_link_libraries(korvane-run PRIVATE korvane_engine korvane_host korvane_net korvane_serial korvane_racks_ui
    korvane_command_line korvane_settings Qt6::Widgets)
korvane_warnings(korvane-run)
