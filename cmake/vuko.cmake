# Helpers that keep one library per subsystem: sources are collected from the folder,
# so adding a concern never means editing the top-level build.

set(VUKO_WARNINGS -Wall -Wextra -Wno-unused-parameter)

function(vuko_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(_src)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_compile_options(${name} PRIVATE ${VUKO_WARNINGS})
    if(ARGN)
      target_link_libraries(${name} PUBLIC ${ARGN})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    if(ARGN)
      target_link_libraries(${name} INTERFACE ${ARGN})
    endif()
  endif()
endfunction()

function(vuko_forms_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h)
  list(FILTER _src INCLUDE REGEX "\\.cpp$")
  if(_src)
    file(GLOB _hdr CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    add_library(${name} STATIC ${_src} ${_hdr})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_compile_options(${name} PRIVATE ${VUKO_WARNINGS})
    target_link_libraries(${name} PUBLIC ${ARGN} Qt6::Widgets Qt6::PrintSupport)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN} Qt6::Widgets Qt6::PrintSupport)
  endif()
endfunction()

# One test executable per folder; label says what kind of test it is.
function(vuko_test name dir label)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cpp)
  if(NOT _src)
    return()
  endif()
  # own_home.cpp: every test program keeps to a home and XDG folders of its own.
  add_executable(${name} ${_src} ${CMAKE_SOURCE_DIR}/tests/own_home.cpp)
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    VUKO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VUKO_DATA_DIR="${CMAKE_SOURCE_DIR}/data"
    VUKO_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data"
    VUKO_BINARY_DIR="${CMAKE_BINARY_DIR}"
    SYSTEM_PYTHON3="${SYSTEM_PYTHON3}")
  set(_env "QT_QPA_PLATFORM=offscreen")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${label} ENVIRONMENT "${_env}"
    DISCOVERY_TIMEOUT 60)
endfunction()
