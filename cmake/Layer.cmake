# One static library per layer; every .cpp below its folders (a list) belongs to it.
# A layer without sources yet gives an interface library, so layers above link alike.
function(plimzor_layer name dirs)
  set(sources)
  foreach(dir ${dirs})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# One test program per test folder, its cases registered with ctest.
function(plimzor_tests name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
  # Texture copies of the tests' pictures stay out of the user's cache.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES
                       ENVIRONMENT_MODIFICATION "XDG_CACHE_HOME=set:${CMAKE_BINARY_DIR}/test-cache")
endfunction()
