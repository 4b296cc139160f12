# Writes the catalog the list tests run the local service with: categories of 50 and
# 1000 pictures, search tags with 60 and 220 hits, hostile picture ids, and a category
# whose 2000-letter name lets a search keyword bring its URL to the 2048-byte limit.
function(zindle_data_test_catalog dir)
  set(json "{\"groups\": [{\"id\": \"g\", \"name\": \"tests\", \"categories\": [")
  # name;id;count;tags
  set(entries "c50|c50|50|still" "c1000|c1000|1000|still" "ef|ef|60|endflag2" "mn|mn|220|many")
  string(REPEAT "a" 2000 long_name)
  list(APPEND entries "${long_name}|long|400|x")
  set(first_category TRUE)
  foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 name)
    list(GET fields 1 id)
    list(GET fields 2 count)
    list(GET fields 3 tags)
    if(NOT first_category)
      string(APPEND json ",")
    endif()
    set(first_category FALSE)
    string(APPEND json "{\"id\": \"${id}\", \"name\": \"${name}\", \"pictures\": [")
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
      if(i GREATER 0)
        string(APPEND json ",")
      endif()
      string(APPEND json "{\"imageId\": \"${id}-${i}\", \"file\": \"p.png\", \"tags\": \"${tags}\"}")
    endforeach()
    string(APPEND json "]}")
  endforeach()
  # Ids that would lead a cache write out of its folder, between two sound ones.
  string(APPEND json [[, {"id": "hostile", "name": "hostile", "pictures": [
    {"imageId": "ok-1", "file": "p.png"}, {"imageId": "..\\..\\evil", "file": "p.png"},
    {"imageId": "C:\\x", "file": "p.png"}, {"imageId": "a:stream", "file": "p.png"},
    {"imageId": "ok-2", "file": "p.png"}]}]}]}]])
  file(MAKE_DIRECTORY ${dir}/pics)
  file(WRITE ${dir}/catalog.json.tmp "${json}\n")
  file(COPY_FILE ${dir}/catalog.json.tmp ${dir}/catalog.json ONLY_IF_DIFFERENT)
endfunction()
