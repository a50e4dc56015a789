# Payload extraction: the extraction routine and its worker thread.
add_library(vxzip STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/zmtextract.h
  ${CMAKE_CURRENT_SOURCE_DIR}/zmtextract.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/zipthread.h
  ${CMAKE_CURRENT_SOURCE_DIR}/zipthread.cpp
)
target_include_directories(vxzip PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vxzip PUBLIC vxcore Qt5::Core QuaZip::QuaZip)
find_package(Threads REQUIRED)
target_link_libraries(vxzip PRIVATE Threads::Threads)
