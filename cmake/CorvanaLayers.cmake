# How a folder of the project becomes a target, and the build options every target shares.
#
# Includes name their layer from the repository root (#include "watcher/engine/GdLib.h"), so every
# target's include directory is the root. A library exports it PUBLIC, as whoever links it
# includes its headers; programs, tests and benchmarks use it PRIVATE. Which headers a target may
# include is what it links: corvana_check_layer_includes() fails the configure when a converted
# folder includes a header of a folder whose target it does not link, directly or through others.

include(LayerIncludes)

# Warnings and sanitizers, linked by every target instead of set for the whole directory tree.
add_library(corvana_options INTERFACE)
target_compile_options(corvana_options INTERFACE -Wall -Wextra)
# GCC 12's flow analysis reports uninitialized reads inside the standard library's own templates
# (std::variant, std::regex, std::function) once optimizing or sanitizing; they are not there. At -O3
# it also reports overlapping copies inside std::string's "literal + string" that cannot happen.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(corvana_options INTERFACE -Wno-maybe-uninitialized -Wno-restrict)
endif()
if(CORVANA_WERROR)
  target_compile_options(corvana_options INTERFACE -Werror)
endif()
if(CORVANA_SANITIZE)
  target_compile_options(corvana_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(corvana_options INTERFACE -fsanitize=address,undefined)
endif()

# corvana_add_layer(NAME n [SHARED] SOURCES ... [PUBLIC_LINKS ...] [PRIVATE_LINKS ...]): the one
# library of the calling folder. PUBLIC_LINKS are the targets its headers include; PRIVATE_LINKS
# those only its sources use.
# corvana_add_layer(NAME n HEADERS_ONLY [PUBLIC_LINKS ...]): headers of the folder without its code,
# for whoever needs the declarations but reaches the code otherwise (the engine loaded at run time).
function(corvana_add_layer)
  cmake_parse_arguments(L "SHARED;HEADERS_ONLY" "NAME" "SOURCES;PUBLIC_LINKS;PRIVATE_LINKS" ${ARGN})
  if(L_HEADERS_ONLY)
    if(NOT L_NAME OR L_SOURCES OR L_SHARED OR L_PRIVATE_LINKS OR L_UNPARSED_ARGUMENTS)
      message(FATAL_ERROR "corvana_add_layer: HEADERS_ONLY takes NAME and PUBLIC_LINKS only (${CMAKE_CURRENT_SOURCE_DIR})")
    endif()
    add_library(${L_NAME} INTERFACE)
    target_include_directories(${L_NAME} INTERFACE "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${L_NAME} INTERFACE ${L_PUBLIC_LINKS})
    return()
  endif()
  if(NOT L_NAME OR NOT L_SOURCES OR L_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "corvana_add_layer: NAME and SOURCES are required (${CMAKE_CURRENT_SOURCE_DIR})")
  endif()
  if(L_SHARED)
    add_library(${L_NAME} SHARED ${L_SOURCES})
  else()
    add_library(${L_NAME} STATIC ${L_SOURCES})
  endif()
  target_include_directories(${L_NAME} PUBLIC "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${L_NAME} PRIVATE corvana_options)
  target_link_libraries(${L_NAME} PUBLIC ${L_PUBLIC_LINKS} PRIVATE ${L_PRIVATE_LINKS})
  set_property(GLOBAL APPEND PROPERTY CORVANA_CHECKED_TARGETS ${L_NAME})
endfunction()

# corvana_add_program(target): the include root and options for a program, test or benchmark
# made by add_executable, or a library only tests link; called before its other links, so that
# the options come first. The root is PRIVATE: whoever includes a test library's headers is a
# program with the root of its own.
function(corvana_add_program target)
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${target} PRIVATE corvana_options)
endfunction()

# corvana_add_folder(folder): adds a listed folder; one that is not there stops the configure, so
# a list never silently names a folder that builds nothing.
function(corvana_add_folder folder)
  if(NOT EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/CMakeLists.txt")
    message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}/${folder} is listed but has no CMakeLists.txt: "
                        "add the folder or take it off the list.")
  endif()
  add_subdirectory(${folder})
endfunction()

# The targets `target` links, directly or through others, that this project builds.
function(_corvana_link_closure target out)
  set(seen)
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(direct ${current} LINK_LIBRARIES)
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    foreach(link IN LISTS direct interface)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.+)>$" "\\1" link "${link}")
      if(TARGET "${link}")
        get_target_property(imported ${link} IMPORTED)
        if(NOT imported)
          list(APPEND queue ${link})
        endif()
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# A converted folder may include headers of its own folder and of the folders whose targets it
# links; anything else is a dependency the build does not know of, usually one pointing upward.
# Checked are the folder's headers and the sources the target compiles: a program's main.cpp
# beside a library is the program's. What each folder may include is written to
# layer-includes.txt in the build tree and checked now and by the layer_includes test, which
# sees edits made since the configure.
function(corvana_check_layer_includes)
  get_property(checked GLOBAL PROPERTY CORVANA_CHECKED_TARGETS)
  set(records)
  foreach(target IN LISTS checked)
    _corvana_link_closure(${target} closure)
    set(allowed)
    foreach(linked IN LISTS closure)
      get_target_property(dir ${linked} SOURCE_DIR)
      file(RELATIVE_PATH dir "${PROJECT_SOURCE_DIR}" "${dir}")
      if(dir)  # not the options target, which lives in the root
        list(APPEND allowed "${dir}")
      endif()
    endforeach()
    get_target_property(own ${target} SOURCE_DIR)
    file(RELATIVE_PATH own "${PROJECT_SOURCE_DIR}" "${own}")
    get_target_property(sources ${target} SOURCES)
    set(compiled)
    foreach(source IN LISTS sources)
      if(source MATCHES "^[^/]+\\.cpp$")
        list(APPEND compiled "${source}")
      endif()
    endforeach()
    list(JOIN allowed "," allowed)
    list(JOIN compiled "," compiled)
    string(APPEND records "${target} ${own} ${allowed} ${compiled}\n")
  endforeach()
  set(file "${PROJECT_BINARY_DIR}/layer-includes.txt")
  file(WRITE "${file}" "${records}")
  corvana_scan_layer_includes("${PROJECT_SOURCE_DIR}" "${file}")
endfunction()
