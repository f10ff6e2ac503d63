# The payload reader takes apart bytes of a program file that anyone may have edited.
korvane_fuzz_target(payload_reader ${CMAKE_CURRENT_SOURCE_DIR}/payload_reader_fuzz.cpp
                    korvane_payload)
