# vantrel_engine_testing: the per-byte reference decoder and the enciphering
# helpers. Included by the tests and by the benchmarks (which may be built
# without the tests), so it defines the library only once. No GTest here.
if(NOT TARGET vantrel_engine_testing)
  add_library(vantrel_engine_testing STATIC
    ${CMAKE_CURRENT_LIST_DIR}/encipher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reference_decoder.cpp
  )
  # Headers are included as "testing/encipher.h", "testing/reference_decoder.h".
  target_include_directories(vantrel_engine_testing PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
  target_link_libraries(vantrel_engine_testing PUBLIC vantrel_engine)
endif()
