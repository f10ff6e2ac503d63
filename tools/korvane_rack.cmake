# korvane-rack: rack files to and from their text form.
add_executable(korvane-rack ${CMAKE_CURRENT_LIST_DIR}/korvane_rack.cpp)
target_link_libraries(korvane-rack PRIVATE korvane_rack_codec korvane_command_line)
korvane_warnings(korvane-rack)
