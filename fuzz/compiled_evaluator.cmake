# The compiled evaluator against the rewriting one: random programs must leave the same traces.
korvane_fuzz_target(compiled_evaluator ${CMAKE_CURRENT_SOURCE_DIR}/compiled_evaluator_fuzz.cpp
                    korvane_engine)
target_include_directories(compiled_evaluator_replay PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
if(TARGET compiled_evaluator)
    target_include_directories(compiled_evaluator PRIVATE ${PROJECT_SOURCE_DIR}/tests/engine)
endif()
