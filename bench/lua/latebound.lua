-- Lua 5.4's method call through a metatable and its field read, the baselines of the late-bound
-- helpers. Each loop runs n times; the empty loop's time is taken off, and the best of five
-- rounds counts, as for the runtime's own figures. Prints one JSON object (nanoseconds per
-- operation, processor time).
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

local function seconds(loop)
  local start = os.clock()
  loop(n)
  return os.clock() - start
end

-- The three loops take turns, round after round, so that a change in the machine's load meets
-- all of them alike; each keeps its best round.
local rounds = 5
local fastest = {empty = math.huge, method = math.huge, field = math.huge}
for _ = 1, rounds do
  fastest.empty = math.min(fastest.empty, seconds(empty))
  fastest.method = math.min(fastest.method, seconds(method))
  fastest.field = math.min(fastest.field, seconds(field))
end
local function ns(s) return s * 1e9 / n end
local e, m, f = ns(fastest.empty), ns(fastest.method), ns(fastest.field)
print(string.format('{"version": "%s", "empty_loop_ns": %.3f, "method_call_ns": %.3f, "field_read_ns": %.3f}',
  _VERSION, e, math.max(m - e, 0), math.max(f - e, 0)))
