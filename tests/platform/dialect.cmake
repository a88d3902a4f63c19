# tests for the platform's dialect services
