# Values written back into an expression: random answers inside random shapes stay exact data.
korvane_fuzz_target(written_back_values ${CMAKE_CURRENT_SOURCE_DIR}/written_back_values_fuzz.cpp
                    korvane_engine)
target_include_directories(written_back_values_replay PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
if(TARGET written_back_values)
    target_include_directories(written_back_values PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
endif()
