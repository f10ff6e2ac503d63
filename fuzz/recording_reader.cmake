# Recordings are text files people edit by hand; the reader must refuse anything broken.
korvane_fuzz_target(recording_reader ${CMAKE_CURRENT_SOURCE_DIR}/recording_reader_fuzz.cpp
                    korvane_serial_device)
