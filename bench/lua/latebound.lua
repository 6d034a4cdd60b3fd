-- Lua 5.4's method call through a metatable and its field read, the baselines of the late-bound
-- helpers. Each loop runs n times; the empty loop's time is taken off, and the best of five
-- rounds counts. Prints one JSON object (nanoseconds per operation, processor time).
local n = tonumber(arg and arg[1]) or 20000000

local Point = {}
Point.__index = Point
function Point.m(self, x) return x end
local obj = setmetatable({x = 1}, Point)

local function empty(count)
  local r
  for i = 1, count do r = i end
  return r
end

local function method(count)
  local r
  for i = 1, count do r = obj:m(i) end
  return r
end

local function field(count)
  local r
  for _ = 1, count do r = obj.x end
  return r
end

local function best(loop)
  local fastest = math.huge
  for _ = 1, 5 do
    local start = os.clock()
    loop(n)
    local seconds = os.clock() - start
    if seconds < fastest then fastest = seconds end
  end
  return fastest * 1e9 / n
end

local e = best(empty)
local m = best(method)
local f = best(field)
print(string.format('{"version": "%s", "empty_loop_ns": %.3f, "method_call_ns": %.3f, "field_read_ns": %.3f}',
  _VERSION, e, math.max(m - e, 0), math.max(f - e, 0)))
