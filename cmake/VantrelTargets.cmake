# Folder-level targets. Sources are globbed so that adding a class is adding its two files.

set(VANTREL_ALL_INCLUDE_DIRS "" CACHE INTERNAL "")

# moc looks again only at files it has seen: a class that the glob finds later would never get its
# meta-object in a build folder that already ran moc. When the target's sources change, moc's
# stamp goes, so that it looks at every file again.
function(vantrel_moc_follows_sources name sources)
  set(list_file ${CMAKE_BINARY_DIR}/CMakeFiles/${name}_sources.txt)
  set(known "")
  if(EXISTS ${list_file})
    file(READ ${list_file} known)
  endif()
  if(NOT known STREQUAL "${sources}")
    file(WRITE ${list_file} "${sources}")
    file(REMOVE ${CMAKE_BINARY_DIR}/${name}_autogen/timestamp)
  endif()
endfunction()

# vantrel_library(<name> [QT] DIRS <folders...> [EXCLUDE <files...>] [LINKS <targets...>])
# QT marks a target whose classes use Qt's meta-objects: moc runs over it and its tests. The
# other targets are plain C++ and never wait for moc. EXCLUDE names sources of the folders (from
# the source root) that belong to another target.
function(vantrel_library name)
  cmake_parse_arguments(ARG "QT" "" "DIRS;EXCLUDE;LINKS" ${ARGN})
  set(sources "")
  set(includes "")
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
    list(APPEND includes ${CMAKE_SOURCE_DIR}/${dir})
  endforeach()
  foreach(file IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${file})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${includes})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
    set_target_properties(${name} PROPERTIES AUTOMOC ${ARG_QT})
    if(ARG_QT)
      vantrel_moc_follows_sources(${name} "${sources}")
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${includes})
    target_link_libraries(${name} INTERFACE ${ARG_LINKS})
  endif()
  set_target_properties(${name} PROPERTIES VANTREL_QT ${ARG_QT})
endfunction()

# vantrel_tests(<folder> <target>): tests/<folder>/*.cpp as one test binary, labelled <folder>.
# A folder that brings its own main.cpp (a Qt application, say) does not get gtest_main.
function(vantrel_tests folder target)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  # The folder's headers too: moc sees a QObject class that lives in a header of its own.
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.h)
  list(APPEND sources ${headers})
  set(exe test_${folder})
  add_executable(${exe} ${sources})
  target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/tests/${folder} ${CMAKE_SOURCE_DIR}/tests)
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/${folder}/main.cpp)
    target_link_libraries(${exe} PRIVATE ${target} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${exe} PRIVATE ${target} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  target_compile_definitions(${exe} PRIVATE
    VANTREL_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/${folder}/data")
  get_target_property(qt ${target} VANTREL_QT)
  set_target_properties(${exe} PROPERTIES AUTOMOC ${qt} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(qt)
    vantrel_moc_follows_sources(${exe} "${sources}")
  endif()
  gtest_discover_tests(${exe}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${folder} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# vantrel_benches(<folder> <target>): each bench/<folder>/*.cpp is one benchmark binary.
function(vantrel_benches folder target)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/${folder}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/${folder}/*.h)
  get_target_property(qt ${target} VANTREL_QT)
  foreach(src IN LISTS sources)
    get_filename_component(stem ${src} NAME_WE)
    set(exe bench_${folder}_${stem})
    # Each program gets the meta-objects of the folder's shared QObject classes.
    if(qt)
      add_executable(${exe} ${src} ${headers})
      set_target_properties(${exe} PROPERTIES AUTOMOC ON)
    else()
      add_executable(${exe} ${src})
    endif()
    # The tests' document helpers build the documents that benchmarks measure.
    target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${exe} PRIVATE ${target} benchmark::benchmark benchmark::benchmark_main)
    # Where tools/gendoc lies, wherever the benchmark runs from.
    target_compile_definitions(${exe} PRIVATE VANTREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    set_target_properties(${exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  endforeach()
endfunction()
