# What both runner programs share: the course of the runs and the modules without windows.
add_library(korvane_runner STATIC runner_main.cpp plain_modules.cpp console_host.cpp
    toolkit_messages.cpp bounded_file.cpp junit_report.cpp json_report.cpp runner_options.cpp
    script_run.cpp stations.cpp toolkit_handoff.cpp)
target_link_libraries(korvane_runner PUBLIC korvane_engine korvane_host korvane_net
    korvane_serial_device korvane_command_line korvane_settings Qt6::Core)
korvane_warnings(korvane_runner)

# Scripts with windows, serial ports or the desktop are handed over to this one.
add_executable(korvane-run-toolkit korvane_run_toolkit.cpp)
target_link_libraries(korvane-run-toolkit PRIVATE korvane_runner korvane_desktop_launcher
    korvane_serial korvane_racks_ui Qt6::Widgets)
korvane_warnings(korvane-run-toolkit)

add_executable(korvane-run korvane_run.cpp)
target_link_libraries(korvane-run PRIVATE korvane_runner)
add_dependencies(korvane-run korvane-run-toolkit)
korvane_warnings(korvane-run)
