@echo off
REM Runs evaluator on examples\evaluator\expr.txt in a fresh folder
REM work\evaluator, then shows the trace table it wrote to result.txt.
setlocal
chcp 936 >nul
set "top=%~dp0"
set "work=%top%work\evaluator"
if exist "%work%" rd /s /q "%work%"
md "%work%"
copy "%top%examples\evaluator\expr.txt" "%work%" >nul
cd /d "%work%"

echo == evaluator expr.txt  -^>  work\evaluator\result.txt
echo.
"%top%evaluator.exe" expr.txt
type result.txt
echo.
echo.
pause
